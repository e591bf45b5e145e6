// The checker's analysis of one knowledge file made of the input, beside a fixed fallback
// file: findings come in line order, name lines the file has, and count as the totals say.
// The repairs of --fix are planned over it too (a dry run: nothing is written), each naming
// a line the file has.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "checker.h"
#include "fixer.h"
#include "errors.h"
#include "phrase_list.h"
#include "program_folder.h"

namespace {

const testing_support::ProgramFolder& Folder() {
    static const testing_support::ProgramFolder folder;
    return folder;
}

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto& folder = Folder();
    folder.Write(u"а", bytes);
    folder.Write(u"ь", "5|yes\n");

    std::size_t lines = 0;
    try {
        const dialogue::SplitLines split = dialogue::ParseKnowledgeBytes(bytes);
        lines = split.lines.size();
    } catch (const dialogue::DecodeError&) {
        lines = 0;
    }

    std::size_t lastLine = 0;
    std::string lastFile;
    std::size_t errors = 0, warnings = 0;
    const checker::CheckTotals totals =
        checker::CheckFolder(folder.Dir(), [&](const checker::Finding& f) {
            Check(f.file > lastFile || (f.file == lastFile && f.line >= lastLine));
            lastFile = f.file;
            lastLine = f.line;
            if (f.file == "mem/а") Check(f.line <= lines + 1);
            ++(checker::KindSeverity(f.kind) == checker::Severity::Error ? errors : warnings);
        });
    Check(totals.errors == errors && totals.warnings == warnings);
    Check(totals.lines == 1 + lines || totals.files == 1);

    const checker::FixResult fix = checker::FixFolder(folder.Dir(), true);
    Check(!fix.writeFailed && fix.filesWritten == 0);
    Check(fix.made + fix.kept <= fix.changes.size());
    for (const checker::FixChange& change : fix.changes) {
        if (change.file == "mem/а") Check(change.line <= lines);
    }
    return 0;
}
