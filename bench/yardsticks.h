#pragma once
// What the keystroke and query benchmarks are set against, as steps of bench::Alternate.
// Each runs once untimed first, so that it finds the C library's heap as a run of it alone
// does, rather than given back by the load before.
#include "alternating.h"
#include "decoding.h"
#include "knowledge_base_generator.h"
#include "knowledge_files.h"

namespace bench {

inline auto ReadingAndDecoding(const LetterFolder& fixture) {
    const auto readAndDecode = [&fixture] {
        benchmark::DoNotOptimize(
            dialogue::DecodeKnowledgeText(dialogue::ReadKnowledgeFile(fixture.first)));
    };
    return Step{readAndDecode, readAndDecode};
}

inline auto ReadingTheBytes(const LetterFolder& fixture) {
    const auto read = [&fixture] {
        benchmark::DoNotOptimize(dialogue::ReadKnowledgeFile(fixture.first));
    };
    return Step{read, read};
}

}  // namespace bench
