// FixFolder on small knowledge bases: what it repairs, what it leaves and why, and that
// no entry is ever lost or its answer changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>

#include "atomic_write.h"
#include "checker.h"
#include "checker_test_support.h"
#include "decoding.h"
#include "errors.h"
#include "fixer.h"
#include "line_splitting.h"
#include "report.h"
#include "rules.h"
#include "text.h"
#include "utf8_path.h"

namespace {

using checker::FixChange;
using checker::FixFolder;
using checker::FixOptions;
using checker::FixResult;
using checker_testing::CaseTestName;
using checker_testing::Describe;
using checker_testing::kFallback;
using checker_testing::ReadBytes;
using checker_testing::Snapshot;
using checker_testing::TempFolder;
using checker_testing::Utf8File;
using Action = FixChange::Action;

std::string Windows1251(std::u16string_view text) {
    return *dialogue::EncodeKnowledgeText(text, dialogue::TextEncoding::Windows1251);
}
std::string Utf16LE(std::u16string_view text) {
    return *dialogue::EncodeKnowledgeText(text, dialogue::TextEncoding::Utf16LE);
}

struct ExpectedChange {
    std::string file;
    std::size_t line;
    Action action;
    std::string detail;  // Move: "target:line"; Kept: part of the reason
};

struct FixCase {
    const char* name;
    std::map<std::string, std::string> before;  // relative path -> bytes
    std::map<std::string, std::string> after;   // the files that change, the new ones, and kGone
    std::vector<ExpectedChange> changes;
};

const std::string kGone = std::string("\0gone", 5);  // in after: the file is removed

const FixCase kCases[] = {
    {"blanks before the bar go, the line stays in its place",
     {{"mem/г", Utf8File({"гол |Да.", "  год\t \t|Нет.  ", "гора|Есть."})}, {"mem/ь", kFallback}},
     {{"mem/г", Utf8File({"гол|Да.", "  год|Нет.  ", "гора|Есть."})}},
     {{"mem/г", 1, Action::RemoveBlanks, ""}, {"mem/г", 2, Action::RemoveBlanks, ""}}},
    {"a line moves to the end of its letter's file, in that file's encoding and breaks",
     {{"mem/г", Utf8File({"гол|Да.", "дом|Дом.", "год|Год."})},
      {"mem/д", Windows1251(u"дым|Дым.\r\nдуб|Дуб.")},
      {"mem/ь", kFallback}},
     {{"mem/г", Utf8File({"гол|Да.", "год|Год."})},
      {"mem/д", Windows1251(u"дым|Дым.\r\nдуб|Дуб.\r\nдом|Дом.\r\n")}},
     {{"mem/г", 2, Action::Move, "mem/д:3"}}},
    {"a fallback line whose letter has a file goes there, repaired on the way",
     {{"mem/г", Utf8File({"гол|Да."})},
      {"mem/ь", Utf8File({"5|Да.", "Гора  |Высокая.", "ягода|Здесь."})}},
     {{"mem/г", Utf8File({"гол|Да.", "Гора|Высокая."})},
      {"mem/ь", Utf8File({"5|Да.", "ягода|Здесь."})}},
     {{"mem/ь", 2, Action::Move, "mem/г:2"}}},
    {"a missing fallback file is made in the encoding the line came from",
     {{"mem/г", Utf16LE(u"гол|Да.\r\nяма|Яма.\r\n")}},
     {{"mem/г", Utf16LE(u"гол|Да.\r\n")}, {"mem/ь", Utf16LE(u"яма|Яма.\r\n")}},
     {{"mem/г", 2, Action::Move, "mem/ь:1"}}},
    {"UTF-8 without a mark gets it, and then its lines are moved as meant",
     {{"mem/м", "мир|Мир.\nгол|Да.\n"}, {"mem/г", Utf8File({"год|Год."})}, {"mem/ь", kFallback}},
     {{"mem/м", "\xEF\xBB\xBFмир|Мир.\n"}, {"mem/г", Utf8File({"год|Год.", "гол|Да."})}},
     {{"mem/м", 0, Action::AddMark, ""}, {"mem/м", 2, Action::Move, "mem/г:2"}}},
    {"what a killed run left is completed: the line its target holds already is not added again",
     {{"mem/г", Utf8File({"гол|Да.", "дом|Дом.", "дуб  |Дуб."})},
      {"mem/д", Utf8File({"дым|Дым.", "дом|Дом."})},
      {"mem/.д.tsldemo-check-Xy12Zw", Utf8File({"дым|Дым.", "дом|Дом.", "ду"})},
      {"mem/ь", kFallback}},
     {{"mem/г", Utf8File({"гол|Да."})},
      {"mem/д", Utf8File({"дым|Дым.", "дом|Дом.", "дуб|Дуб."})},
      {"mem/.д.tsldemo-check-Xy12Zw", kGone}},
     {{"mem/.д.tsldemo-check-Xy12Zw", 0, Action::RemoveTemporary, ""},
      {"mem/г", 2, Action::Move, "mem/д:2"},
      {"mem/г", 3, Action::Move, "mem/д:3"}}},
    {"a line joins a file without a last line break on a line of its own",
     {{"mem/г", "\xEF\xBB\xBFгол|Да."}, {"mem/ь", Utf8File({"5|Да.", "год|Год."})}},
     {{"mem/г", "\xEF\xBB\xBFгол|Да.\nгод|Год.\n"}, {"mem/ь", Utf8File({"5|Да."})}},
     {{"mem/ь", 2, Action::Move, "mem/г:2"}}},
    {"a move that would take over a question's answer is not made; one that sorts after is",
     {{"mem/г", Utf8File({"гол|Б."})}, {"mem/ь", Utf8File({"5|x", "гол|А.", "ГОЛ|Я."})}},
     {{"mem/г", Utf8File({"гол|Б.", "ГОЛ|Я."})}, {"mem/ь", Utf8File({"5|x", "гол|А."})}},
     {{"mem/ь", 2, Action::Kept, "изменила бы ответ"}, {"mem/ь", 3, Action::Move, "mem/г:2"}}},
    {"a repair that would take over a question's answer is not made",
     {{"mem/г", Utf8File({"гол|Б.", "гол |А."})}, {"mem/ь", kFallback}},
     {},
     {{"mem/г", 2, Action::Kept, "изменила бы ответ"}}},
    {"a line that the target's encoding cannot hold stays",
     {{"mem/г", Windows1251(u"гол|Да.\n")},
      {"mem/ь", Utf8File({"5|x", "гамма γ|Греческая буква."})}},
     {},
     {{"mem/ь", 2, Action::Kept, "нельзя записать в кодировке файла mem/г"}}},
    {"a target cut short by a NUL takes no lines",
     {{"mem/д", Utf8File({"дым|Да."}) + std::string(1, '\0') + "хвост"},
      {"mem/г", Utf8File({"дом|Дом."})},
      {"mem/ь", kFallback}},
     {},
     {{"mem/г", 1, Action::Kept, "NUL"}}},
    {"a removal that would join two line breaks into one is not made",
     {{"mem/г", "\xEF\xBB\xBFгол|Да.\rдом|Дом.\n\nгод|Год.\n"},
      {"mem/д", Utf8File({"дым|Да."})},
      {"mem/ь", kFallback}},
     {},
     {{"mem/г", 2, Action::Kept, "делились бы иначе"}}},
    {"a UTF-16 file with an odd last byte is left as it is",
     {{"mem/г", Utf16LE(u"гол |Да.\r\n") + "x"}, {"mem/ь", kFallback}},
     {},
     {{"mem/г", 1, Action::Kept, "нет пары"}}},
    {"Windows-1251 text that would begin like a UTF-16 mark is not made",
     {{"mem/ь", Windows1251(u"гол|Да.\nяюшка|Слово.\n")}, {"mem/г", Utf8File({"год|Год."})}},
     {},
     {{"mem/ь", 1, Action::Kept, "в его кодировке"}}},
};

void PrintTo(const FixCase& c, std::ostream* os) { *os << c.name; }

// Entries as the author meant them: UTF-8 without a mark read as UTF-8.
std::multiset<std::pair<std::u16string, std::u16string>> Entries(const TempFolder& folder);

bool HoldsEvery(const std::multiset<std::pair<std::u16string, std::u16string>>& now,
                const std::multiset<std::pair<std::u16string, std::u16string>>& before) {
    return std::includes(now.begin(), now.end(), before.begin(), before.end());
}

// How a run stops at one file: its write fails (a full disk, a file it may not replace) and
// the run ends there, or the process is killed while writing it, which leaves the temporary
// file with part of the new bytes and the file as it was.
enum class Stop { WriteFails, Killed };

// Stands in for the atomic write: writes go through until the one to the file named `at`
// (or the `first`-th write, when `at` is empty), which stops the run as `how` says. The file
// it stopped at is kept in `at`, so that later runs can be stopped at the same file.
checker::FileWriter Stopping(Stop how, std::size_t first, std::string& at) {
    auto count = std::make_shared<std::size_t>(0);
    return [how, first, &at, count](const std::string& path, std::string_view bytes,
                                    const std::optional<checker::FileIdentity>& expected,
                                    checker::FileMode mode,
                                    std::string& error) -> std::optional<checker::FileIdentity> {
        const bool stop = at.empty() ? (*count)++ == first : path == at;
        if (!stop) return checker::WriteAtomically(path, bytes, expected, mode, error);
        at = path;
        if (how == Stop::Killed) {
            const std::filesystem::path target = untrusted_files::PathFromUtf8(path);
            const auto temp = target.parent_path() /
                              untrusted_files::PathFromUtf8(checker::TemporaryName(
                                  untrusted_files::Utf8FromPath(target.filename()), "K1ll3d"));
            std::ofstream(temp, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
        }
        error = "нет места на устройстве";
        return std::nullopt;
    };
}

class FixCases : public testing::TestWithParam<FixCase> {};

TEST_P(FixCases, RepairsWhatKeepsEveryAnswerAndReportsTheRest) {
    const FixCase& c = GetParam();
    TempFolder folder;
    for (const auto& [path, bytes] : c.before) folder.Write(path, bytes);
    const auto before = Snapshot(folder);

    const FixResult dry = FixFolder(folder.Dir(), true);
    EXPECT_EQ(Snapshot(folder), before) << "a dry run writes nothing";

    const FixResult result = FixFolder(folder.Dir(), false);
    EXPECT_EQ(Describe(dry), Describe(result)) << "a dry run shows what the run does";
    EXPECT_FALSE(result.writeFailed) << Describe(result);
    ASSERT_EQ(result.changes.size(), c.changes.size()) << Describe(result);
    for (std::size_t i = 0; i < c.changes.size(); ++i) {
        const auto& want = c.changes[i];
        const auto& got = result.changes[i];
        EXPECT_EQ(got.file, want.file) << Describe(result);
        EXPECT_EQ(got.line, want.line) << Describe(result);
        EXPECT_EQ(got.action, want.action) << Describe(result);
        const std::string detail = want.action == Action::Move
                                       ? got.target + ":" + std::to_string(got.targetLine)
                                       : dialogue::ToUtf8(got.reason);
        EXPECT_NE(detail.find(want.detail), std::string::npos) << want.detail << "\n"
                                                               << Describe(result);
    }

    auto wanted = before;
    for (const auto& [path, bytes] : c.after) {
        if (bytes == kGone) {
            wanted.erase(path);
        } else {
            wanted[path] = bytes;
        }
    }
    EXPECT_EQ(Snapshot(folder), wanted)
        << "no temporary file is left, and only what is planned changes";

    const FixResult again = FixFolder(folder.Dir(), false);
    EXPECT_EQ(again.made, 0u) << Describe(again);
    EXPECT_EQ(again.filesWritten, 0u);
    EXPECT_EQ(Snapshot(folder), wanted);

    // Stopped at each write in turn, three times over at the same file, and then run to its
    // end: nothing is lost on the way, the summary counts only what was written, and the end
    // is the uninterrupted run's, with each moved line once and no temporary file.
    for (std::size_t first = 0; first < result.filesWritten; ++first) {
        for (const Stop how : {Stop::WriteFails, Stop::Killed}) {
            const std::string label = std::string(how == Stop::Killed ? "killed" : "failed") +
                                      " at write " + std::to_string(first + 1) + "\n";
            TempFolder stopped;
            for (const auto& [path, bytes] : c.before) stopped.Write(path, bytes);
            const auto entries = Entries(stopped);
            std::string at;
            FixOptions options;
            options.write = Stopping(how, first, at);
            for (int run = 0; run < 3; ++run) {
                const FixResult partial = FixFolder(stopped.Dir(), options);
                EXPECT_TRUE(HoldsEvery(Entries(stopped), entries)) << label << Describe(partial);
                if (run == 0) {
                    EXPECT_TRUE(partial.writeFailed) << label << Describe(partial);
                    EXPECT_EQ(partial.filesWritten, first) << label;
                    EXPECT_LT(partial.made, result.made) << label << Describe(partial);
                    EXPECT_EQ(partial.made + partial.unwritten, result.made)
                        << label << Describe(partial);
                }
            }
            const FixResult completed = FixFolder(stopped.Dir(), false);
            EXPECT_FALSE(completed.writeFailed) << label << Describe(completed);
            EXPECT_EQ(Snapshot(stopped), wanted) << label << Describe(completed);
            EXPECT_EQ(FixFolder(stopped.Dir(), false).made, 0u) << label;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fixer, FixCases, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<FixCase>& info) {
                             return CaseTestName(info.param.name);
                         });

// Only a regular file of ours named exactly as the atomic write names its temporary files
// is taken for one that a killed run left: the check names it, --fix removes it.
TEST(FixFolder, RemovesOnlyTemporaryFilesOfItsOwnExactNaming) {
    struct Case {
        const char* name;
        bool folder;  // a folder of that name, not a file
        bool left;    // taken for a temporary file
    };
    const Case cases[] = {
        {".г.tsldemo-check-Ab12Cd", false, true},   {".ь.tsldemo-check-000000", false, true},
        {".г.tsldemo-check-Ab12C", false, false},    // one letter short
        {".г.tsldemo-check-Ab12Cd~", false, false},  // a letter more
        {"г.tsldemo-check-Ab12Cd", false, false},    // no leading dot
        {".г.tsldemo-check-Ab-2Cd", false, false},   // not mkostemp's letters
        {".г.tsldemo-check-Qw12Er", true, false},
    };
    TempFolder folder;
    folder.Write("mem/г", Utf8File({"гол|Да."}));
    folder.Write("mem/ь", kFallback);
    for (const Case& c : cases) {
        const std::string relative = std::string("mem/") + c.name;
        if (c.folder) {
            std::filesystem::create_directory(folder.Under(relative));
        } else {
            folder.Write(relative, "гол|Да.\n");
        }
    }

    std::set<std::string> named;
    for (const auto& finding : checker::CheckFolder(folder.Dir()).findings) {
        if (finding.kind == checker::Kind::LeftTemporary) named.insert(finding.file);
    }
    const FixResult result = FixFolder(folder.Dir(), false);
    std::set<std::string> removed;
    for (const auto& change : result.changes) {
        if (change.action == Action::RemoveTemporary) removed.insert(change.file);
    }
    EXPECT_EQ(result.made, removed.size()) << Describe(result);
    for (const Case& c : cases) {
        const std::string shown = std::string("mem/") + c.name;
        EXPECT_EQ(named.count(shown), c.left ? 1u : 0u) << c.name;
        EXPECT_EQ(removed.count(shown), c.left ? 1u : 0u) << c.name << "\n" << Describe(result);
        EXPECT_EQ(std::filesystem::exists(folder.Under(shown)), !c.left) << c.name;
    }
    EXPECT_EQ(FixFolder(folder.Dir(), false).made, 0u);
}

// Entries as the author meant them: UTF-8 without a mark read as UTF-8.
std::multiset<std::pair<std::u16string, std::u16string>> Entries(const TempFolder& folder) {
    std::multiset<std::pair<std::u16string, std::u16string>> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Root() / "mem")) {
        if (checker::IsTemporaryName(untrusted_files::Utf8FromPath(entry.path().filename())))
            continue;
        const std::string bytes = ReadBytes(entry.path());
        std::u16string text = dialogue::DecodeKnowledgeText(bytes);
        if (dialogue::DetectEncoding(bytes).markLength == 0) {
            if (auto meant = dialogue::DecodeUtf8Text(bytes)) text = *meant;
        }
        dialogue::ForEachLine(text, [&](std::u16string_view line) {
            const std::u16string_view trimmed = dialogue::TrimView(line);
            if (trimmed.empty()) return;
            entries.emplace(dialogue::NormalisedKey(dialogue::GetLeft(trimmed)),
                            dialogue::GetRight(trimmed));
        });
    }
    return entries;
}

// After --fix the entries are the same, and every finding of a kind that --fix repairs is
// one it reported as left as it is, with its reason; a second run changes nothing.
TEST(FixFolder, KeepsEveryEntryAndLeavesOnlyWhatItReportsOnRandomBases) {
    const std::u16string firsts = u"абвгАБ5юя";
    const std::u16string middles = u"аАб  \tγ";
    const dialogue::TextEncoding encodings[] = {
        dialogue::TextEncoding::Utf8, dialogue::TextEncoding::Utf16LE,
        dialogue::TextEncoding::Utf16BE, dialogue::TextEncoding::Windows1251};
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        auto pick = [&](std::u16string_view from) { return from[random() % from.size()]; };
        TempFolder folder;
        for (const char* name : {"mem/а", "mem/б", "mem/ь"}) {
            if (std::string(name) == "mem/ь" && random() % 4 == 0)
                continue;  // made when a line goes there
            const auto encoding = encodings[random() % 4];
            const bool withoutMark = encoding == dialogue::TextEncoding::Utf8 && random() % 3 == 0;
            std::u16string text;
            for (int i = 0, n = static_cast<int>(random() % 12); i < n; ++i) {
                std::u16string line(1, pick(firsts));
                for (unsigned k = random() % 3; k > 0; --k) line += pick(middles);
                if (random() % 8 != 0) line += u"|";
                line += pick(u"xyXа");
                if (encoding == dialogue::TextEncoding::Windows1251) {
                    std::replace(line.begin(), line.end(), u'γ', u'г');
                }
                text += line + (random() % 2 ? u"\r\n" : u"\n");
            }
            std::string bytes = *dialogue::EncodeKnowledgeText(u"5|x\n" + text, encoding);
            if (withoutMark) bytes = bytes.substr(3);
            folder.Write(name, bytes);
        }
        const auto entries = Entries(folder);

        const FixResult result = FixFolder(folder.Dir(), false);
        ASSERT_FALSE(result.writeFailed) << Describe(result);
        // Every entry stays; a line that its target holds already is not added a second time
        // there (the program keeps exact repeats out anyway).
        const auto distinct = [](const auto& all) {
            return std::set<std::pair<std::u16string, std::u16string>>(all.begin(), all.end());
        };
        const auto after = Entries(folder);
        EXPECT_EQ(distinct(after), distinct(entries)) << "seed " << seed << "\n"
                                                      << Describe(result);
        for (const auto& entry : distinct(after)) {
            EXPECT_LE(after.count(entry), entries.count(entry))
                << "an entry gained a copy; seed " << seed << "\n"
                << Describe(result);
        }

        std::multiset<std::pair<std::string, std::u16string>> left;
        for (const auto& change : result.changes) {
            if (change.action == Action::Kept || change.action == Action::FileKept)
                left.emplace(change.file, change.text);
        }
        std::multiset<std::pair<std::string, std::u16string>> fixable;
        const checker::CheckResult check = checker::CheckFolder(folder.Dir());
        std::string remaining;
        for (const auto& finding : check.findings) {
            if (!checker::KindFixable(finding.kind)) continue;
            remaining += checker::FormatText(finding) + "\n";
            fixable.emplace(finding.file,
                            finding.kind == checker::Kind::Utf8WithoutMark ? u"" : finding.text);
        }
        // A line left as it is may also be reported as a case-duplicate instead.
        EXPECT_TRUE(std::includes(left.begin(), left.end(), fixable.begin(), fixable.end()))
            << "seed " << seed << "\n"
            << Describe(result) << "left:\n"
            << remaining;

        const FixResult again = FixFolder(folder.Dir(), false);
        EXPECT_EQ(again.made, 0u) << "seed " << seed << "\n" << Describe(again);
    }
}

TEST(AtomicWrite, RefusesAFileThatChangedOrIsNoLongerAFile) {
    TempFolder folder;
    const std::string path = folder.PathOf("file");
    folder.Write("file", "old");
    std::string error;
    const auto identity = checker::IdentityOf(path, error);
    ASSERT_TRUE(identity);

    struct Case {
        const char* name;
        std::function<void()> meanwhile;
        std::string reasonPart;
    };
    const Case cases[] = {
        {"written by someone else", [&] { folder.Write("file", "other"); }, "изменился"},
        {"removed", [&] { std::filesystem::remove(folder.Under("file")); }, "пропал"},
    };
    for (const auto& c : cases) {
        folder.Write("file", "old");
        const auto fresh = checker::IdentityOf(path, error);
        c.meanwhile();
        error.clear();
        EXPECT_FALSE(checker::WriteAtomically(path, "new", fresh, 0644, error)) << c.name;
        EXPECT_NE(error.find(c.reasonPart), std::string::npos) << c.name << ": " << error;
        std::filesystem::remove(folder.Under("file"));
    }
    // A file to be made must not have appeared meanwhile.
    folder.Write("file", "someone's");
    error.clear();
    EXPECT_FALSE(checker::WriteAtomically(path, "new", std::nullopt, 0644, error));
    EXPECT_EQ(ReadBytes(path), "someone's");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Root()))
        ++entries;
    EXPECT_EQ(entries, 2u) << "mem/ and the file; no temporary file is left";
}

}  // namespace
