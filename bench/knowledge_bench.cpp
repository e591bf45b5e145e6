// Loading, asking and typing on generated knowledge files of 100,000 and 400,000 lines,
// against the reference of inserting line by line with a binary search.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "collation.h"
#include "decoding.h"
#include "counting_window.h"
#include "heap_in_use.h"
#include "dialogue.h"
#include "knowledge_base_generator.h"
#include "yardsticks.h"
#include "knowledge_files.h"
#include "phrase_list.h"
#include "phrase_order.h"

using namespace dialogue;

namespace {

constexpr char16_t kFirst = bench::kFirstLetter;
constexpr char16_t kSecond = bench::kSecondLetter;
using Fixture = bench::LetterFolder;

Fixture& FixtureFor(std::size_t lines) { return bench::LetterFolderFor(lines); }

struct Session {
    explicit Session(Fixture& fixture)
        : list(DefaultCollator()), dialogue(window, list, fixture.folder.Dir()) {
        window.dialogue = &dialogue;
    }
    bench::CountingWindow window;
    PhraseList list;
    Dialogue dialogue;
};

std::size_t Lines(const benchmark::State& state) {
    return static_cast<std::size_t>(state.range(0));
}

void BM_ReadBytes(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    for (auto _ : state) benchmark::DoNotOptimize(ReadKnowledgeFile(fixture.first));
}

// The reference of the scale targets: reading the bytes and converting them to UTF-16.
void BM_ReadAndDecode(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeKnowledgeText(ReadKnowledgeFile(fixture.first)));
}

void BM_Load(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    for (auto _ : state) {
        PhraseList list(DefaultCollator());
        list.Load(fixture.first);
        benchmark::DoNotOptimize(list.Count());
    }
}

// The reference: every line in file order goes to its place found by binary search,
// unless an equal entry is there.
void BM_LiteralInsertionLoad(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    const PhraseCollator& collator = DefaultCollator();
    for (auto _ : state) {
        const SplitLines parsed = ParseKnowledgeBytes(ReadKnowledgeFile(fixture.first));
        std::vector<std::u16string> list;
        for (const std::u16string& line : parsed.lines) {
            auto place = std::lower_bound(
                list.begin(), list.end(), line,
                [&](const auto& a, const auto& b) { return collator.Compare(a, b) < 0; });
            if (place != list.end() && collator.Compare(*place, line) == 0) continue;
            list.insert(place, line);
        }
        benchmark::DoNotOptimize(list.size());
    }
}

// The memory a loaded list keeps, against the size of its file.
void BM_LoadedListMemory(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    const double fileBytes = static_cast<double>(ReadKnowledgeFile(fixture.first).size());
    for (auto _ : state) {
        const std::size_t before = bench::HeapInUse();
        PhraseList list(DefaultCollator());
        list.Load(fixture.first);
        state.counters["list_bytes_per_file_byte"] =
            static_cast<double>(bench::HeapInUse() - before) / fileBytes;
    }
}

// Every query reads its file; here the file differs from the one loaded before.
void BM_QueryChangedFile(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    Session session(fixture);
    bool flip = false;
    for (auto _ : state) {
        session.window.input = flip ? u"глаза" : u"дом";
        flip = !flip;
        session.dialogue.InBtnClick();
    }
}

void BM_QueryUnchangedFile(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    Session session(fixture);
    session.window.input = u"глаза";
    session.dialogue.InBtnClick();
    for (auto _ : state) {
        session.window.input = u"глаза";
        session.dialogue.InBtnClick();
    }
}

// The first letter typed selects a file other than the last one: load and list all.
void BM_FirstKeystroke(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    Session session(fixture);
    session.list.LimitRecentLists(0);  // nothing kept: every switch parses its file
    bool flip = false;
    for (auto _ : state) {
        session.window.SetInputText(flip ? u"г" : u"д");
        flip = !flip;
        benchmark::DoNotOptimize(session.window.suggestions);
    }
}

// A letter typed again after another, its file unchanged: its list is a recent one.
void BM_LetterAgain(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    Session session(fixture);
    session.window.SetInputText(u"г");
    session.window.SetInputText(u"д");
    bool flip = false;
    for (auto _ : state) {
        session.window.SetInputText(flip ? u"д" : u"г");
        flip = !flip;
        benchmark::DoNotOptimize(session.window.suggestions);
    }
}

// A further letter: the file stays, the list is scanned again.
void BM_FurtherKeystroke(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    Session session(fixture);
    session.window.SetInputText(u"г");
    bool flip = false;
    for (auto _ : state) {
        session.window.SetInputText(flip ? u"гбо" : u"гбол");
        flip = !flip;
        benchmark::DoNotOptimize(session.window.suggestions);
    }
}

// The distinct lines of a generated file with stress marks in a share of its lines.
const std::vector<std::u16string>& StressMarkedLines(std::size_t lines, unsigned percent) {
    static std::map<std::pair<std::size_t, unsigned>, std::vector<std::u16string>> files;
    auto& slot = files[{lines, percent}];
    if (slot.empty()) {
        const SplitLines parsed =
            ParseKnowledgeBytes(bench::GenerateKnowledgeFile(lines, kFirst, 3, percent));
        std::set<std::u16string> seen;
        for (const std::u16string& line : parsed.lines)
            if (seen.insert(line).second) slot.push_back(line);
    }
    return slot;
}

// Ordering a file whose stress marks leave it to ICU's keys, as a load does, against
// ICU's keys alone: the file may cost no more than those. The two alternate within each
// iteration, so that a change in the machine's load falls on both.
void BM_StressMarkedAgainstIcuKeys(benchmark::State& state) {
    const auto& lines = StressMarkedLines(Lines(state), static_cast<unsigned>(state.range(1)));
    const OrderLimits asLoaded;
    OrderLimits icuKeysAlone;
    icuKeysAlone.weightsFromLines = static_cast<std::size_t>(-1);
    bench::Alternate(
        state, "order_over_icu_keys", bench::Step{[&] {
            benchmark::DoNotOptimize(OrderPhrases(lines, DefaultCollator(), asLoaded));
        }},
        bench::Step{[&] {
            benchmark::DoNotOptimize(OrderPhrases(lines, DefaultCollator(), icuKeysAlone));
        }});
}

// The ratios that have targets, each against its yardstick in the same iterations: the
// first keystroke and the letter typed again against reading and decoding the file, the
// query on an unchanged file against reading its bytes.
void BM_FirstKeystrokeAgainstDecoding(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    Session session(fixture);
    session.list.LimitRecentLists(0);
    bool flip = false;
    bench::Alternate(state, "over_yardstick", bench::Step{[&] {
                         session.window.SetInputText(flip ? u"г" : u"д");
                         flip = !flip;
                     }},
                     bench::ReadingAndDecoding(fixture));
}

void BM_LetterAgainAgainstDecoding(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    Session session(fixture);
    session.window.SetInputText(u"г");
    session.window.SetInputText(u"д");
    bool flip = false;
    bench::Alternate(state, "over_yardstick", bench::Step{[&] {
                         session.window.SetInputText(flip ? u"д" : u"г");
                         flip = !flip;
                     }},
                     bench::ReadingAndDecoding(fixture));
}

void BM_QueryUnchangedAgainstReading(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    Session session(fixture);
    session.window.input = u"глаза";
    session.dialogue.InBtnClick();
    bench::Alternate(state, "over_yardstick", bench::Step{[&] {
                         session.window.input = u"глаза";
                         session.dialogue.InBtnClick();
                     }},
                     bench::ReadingTheBytes(fixture));
}

}  // namespace

#define SIZES Arg(100000)->Arg(400000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_ReadBytes)->SIZES;
BENCHMARK(BM_ReadAndDecode)->SIZES;
BENCHMARK(BM_Load)->SIZES;
BENCHMARK(BM_LoadedListMemory)->Arg(100000)->Arg(400000)->Iterations(1);
BENCHMARK(BM_LiteralInsertionLoad)
    ->Arg(100000)
    ->Arg(400000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_QueryChangedFile)->SIZES;
BENCHMARK(BM_QueryUnchangedFile)->SIZES;
BENCHMARK(BM_FirstKeystroke)->SIZES;
BENCHMARK(BM_LetterAgain)->SIZES;
BENCHMARK(BM_FurtherKeystroke)->SIZES;
#define PAIRED Arg(100000)->Arg(400000)->MinTime(2.0)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_FirstKeystrokeAgainstDecoding)->PAIRED;
BENCHMARK(BM_LetterAgainAgainstDecoding)->PAIRED;
BENCHMARK(BM_QueryUnchangedAgainstReading)->PAIRED;
#define STRESS_MARKED \
    ArgsProduct({{100000, 400000}, {1, 10, 50}})->MinTime(3.0)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_StressMarkedAgainstIcuKeys)->STRESS_MARKED;

BENCHMARK_MAIN();
