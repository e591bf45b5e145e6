// CheckFolder on small knowledge bases written into temporary folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <random>
#include <set>

#include "checker.h"
#include "checker_test_support.h"
#include "collation.h"
#include "dialogue.h"
#include "errors.h"
#include "knowledge_files.h"
#include "phrase_list.h"
#include "text.h"

namespace {

using checker::CheckFolder;
using checker::CheckResult;
using checker::Kind;
using checker_testing::CaseTestName;
using checker_testing::Describe;
using checker_testing::kFallback;
using checker_testing::TempFolder;
using checker_testing::Utf8File;

struct Expected {
    std::string file;
    std::size_t line;
    Kind kind;
    std::string messagePart;  // a part the message must hold, or empty
};

struct FolderCase {
    const char* name;
    std::map<std::string, std::string> files;  // relative path -> bytes
    std::vector<Expected> expected;
};

const FolderCase kCases[] = {
    {"a clean base has no findings",
     {{"mem/г", Utf8File({"Голова|Отдохните.", "голос|Поберегите.", "  гол|Обрезается.  "})},
      {"mem/ь", Utf8File({"5 лет|Много.", "ёлка|Нет своего файла.", "ьмя|Своя буква.", "?|Вопрос.",
                          ".точка|Точка называет папку."})}},
     {}},
    {"blank lines ask nothing, however many",
     {{"mem/г", Utf8File({"", "   ", "\t", "гол|Да.", "", "   "})}},
     {}},
    {"a line equal to an earlier one ignoring case is dropped, naming the winner",
     {{"mem/г", Utf8File({"Голова|Ответ.", "ГОЛОВА|ОТВЕТ.", "голова|Ответ.", "голова|ответ."})}},
     {{"mem/г", 2, Kind::CaseDuplicate, "строкой 1"},
      {"mem/г", 3, Kind::CaseDuplicate, "строкой 1"},
      {"mem/г", 4, Kind::CaseDuplicate, "строкой 1"}}},
    {"a blank or a tab before the bar; blanks around the line do not count",
     {{"mem/г", Utf8File({"гол |Да.", "год\t|Да.", "  гора|  Да.  "})}},
     {{"mem/г", 1, Kind::BlankAtBar, ""}, {"mem/г", 2, Kind::BlankAtBar, ""}}},
    {"an empty question, also after blanks",
     {{"mem/г", Utf8File({"|Ответ.", "   |Другой."})}},
     {{"mem/г", 1, Kind::EmptyQuestion, ""}, {"mem/г", 2, Kind::EmptyQuestion, ""}}},
    {"a question in another letter's file names the file it selects",
     {{"mem/г", Utf8File({"дом|Есть файл д.", "яма|Нет файла я.", "Гора|Заглавная ищется в г."})},
      {"mem/д", Utf8File({"дым|Да."})}},
     {{"mem/г", 1, Kind::WrongFile, "mem/д"}, {"mem/г", 2, Kind::WrongFile, "mem/ь"}}},
    {"a fallback line whose letter has its own file",
     {{"mem/г", Utf8File({"гол|Да."})}, {"mem/ь", Utf8File({"Голод|Не здесь.", "ягода|Здесь."})}},
     {{"mem/ь", 1, Kind::FallbackHasOwnFile, "mem/г"}}},
    {"of lines with one question the first in list order answers",
     {{"mem/г", Utf8File({"гол|в", "гол|а", "ГОЛ|б", "год|а"})}},
     {{"mem/г", 1, Kind::Shadowed, "строка 2"}, {"mem/г", 3, Kind::Shadowed, "строка 2"}}},
    {"a line without a bar has an empty answer",
     {{"mem/г", Utf8File({"гол", "  год  "})}},
     {{"mem/г", 1, Kind::NoBar, ""}, {"mem/г", 2, Kind::NoBar, ""}}},
    {"links go through the separator rule to bio/",
     {{"mem/г", Utf8File({"г1|$/a.html$Есть.", "г2|$\\a.html$Обратная черта.", "г3|$/b.html$Нет.",
                          "г4|$$Пустая ссылка.", "г5|Текст $/b.html$ не ссылка.",
                          "г6|$\\sub\\b.html", "г7|$/dir$Папка не страница."})},
      {"bio/a.html", "<html></html>"},
      {"bio/dir/index.html", "<html></html>"}},
     {{"mem/г", 3, Kind::MissingPage, "bio/b.html"},
      {"mem/г", 6, Kind::MissingPage, "bio/sub/b.html"},
      {"mem/г", 7, Kind::MissingPage, "bio/dir"}}},
    {"a NUL ends the text: what follows is lost",
     {{"mem/г", std::string("\xEF\xBB\xBFгол|Да.\n\0\nгод|Потеряно.\n", 43)}},
     {{"mem/г", 2, Kind::AfterNul, ""}}},
    {"a NUL inside a line reports that line",
     {{"mem/г", std::string("\xEF\xBB\xBFгол|Да.\0хвост", 26)}},
     {{"mem/г", 1, Kind::AfterNul, ""}}},
    {"a NUL at the very end loses nothing",
     {{"mem/г", std::string("\xEF\xBB\xBFгол|Да.\n\0", 17)}},
     {}},
    {"line numbers follow the program's splitting: LF CR ends two lines",
     {{"mem/г", "\xEF\xBB\xBFгол|Да.\n\rгод |Нет.\r\nгора |Нет."}},
     {{"mem/г", 3, Kind::BlankAtBar, ""}, {"mem/г", 4, Kind::BlankAtBar, ""}}},
    {"files are decoded by their marks",
     {{"mem/г", std::string("\xE3\xEE\xEB |1251", 9)},  // "гол |" in Windows-1251
      {"mem/д", std::string("\xFF\xFE\x34\x04\x3E\x04\x20\x00|\x00", 10)},  // "до |" in UTF-16 LE
      {"mem/к", std::string("\xFE\xFF\x04\x3A\x04\x3E\x00\x20\x00|", 10)}},  // "ко |" in UTF-16 BE
     {{"mem/г", 1, Kind::BlankAtBar, ""},
      {"mem/д", 1, Kind::BlankAtBar, ""},
      {"mem/к", 1, Kind::BlankAtBar, ""}}},
    {"a file that does not decode carries the program's message",
     {{"mem/г", "\xEF\xBB\xBFгол|\xFF\n"}, {"mem/д", "\xFF\xFE\x41"}},
     {{"mem/г", 0, Kind::Undecodable, "No mapping for the Unicode character"},
      {"mem/д", 0, Kind::Undecodable, "No mapping for the Unicode character"}}},
    {"UTF-8 without its mark is named with the text as read, and its lines checked as meant",
     {{"mem/г", "гол|Да.\nгод |Нет.\n"}},
     {{"mem/г", 0, Kind::Utf8WithoutMark,
       "UTF-8 без метки, а программа читает такой файл как Windows-1251: "
       "строку 1 она видит как «РіРѕР»|Р”Р°.»"},
      {"mem/г", 2, Kind::BlankAtBar, ""}}},
    {"plain ASCII without a mark reads the same in either encoding",
     {{"mem/ь", "5 tips|Sleep.\n"}},
     {}},
    {"an odd last byte of UTF-16 is lost; a single byte after the mark does not decode",
     {{"mem/д", std::string("\xFF\xFE\x34\x04|\x00x\x00\x0A", 9)}, {"mem/к", "\xFE\xFF\x04"}},
     {{"mem/д", 0, Kind::Utf16OddByte, "последний байт"}, {"mem/к", 0, Kind::Undecodable, ""}}},
    {"the byte that Windows-1251 leaves undefined, in the lines that hold it",
     {{"mem/г", std::string("\xE3\xEE\xEB|\xE4\xE0\ngod|\x98\n", 12)}},
     {{"mem/г", 2, Kind::UndefinedByte, "0x98"}, {"mem/г", 2, Kind::WrongFile, ""}}},
    {"linked pages the viewer would not show, or that lie outside bio/",
     {{"mem/г", Utf8File({"г1|$/../outside.html$Вне папки.", "г2|$/big.html$Велика.",
                          "г3|$/deep.html$Глубока.", "г4|$x.html$Без черты: рядом с bio.",
                          "г5|$/ok.html$Обычная.",
                          // No folder "bio.." exists, but the viewer cleans the path as written:
                          // "bio../../outside.html" is outside.html beside bio/.
                          "г6|$../../outside.html$Через bio..", "г7|$/ok.html#part$С якорем."})},
      {"outside.html", "<html></html>"},
      {"biox.html", "<html></html>"},
      {"bio/ok.html", "<html><body><table><tr><td>Да</td></tr></table></body></html>"},
      {"bio/big.html", std::string((1 << 20) + 1, 'a')},
      {"bio/deep.html",
       [] {
           std::string html;
           for (int i = 0; i < 1000; ++i) html += "<div>";
           return html;
       }()}},
     {{"mem/г", 1, Kind::LinkOutsideBio, "outside.html"},
      {"mem/г", 2, Kind::RefusedPage, "больше 1 МБ"},
      {"mem/г", 3, Kind::RefusedPage, "слишком сложна"},
      {"mem/г", 4, Kind::LinkOutsideBio,
       "biox.html, за пределы папки статей bio/: просмотр покажет"},
      {"mem/г", 6, Kind::LinkOutsideBio,
       "на outside.html, за пределы папки статей bio/: просмотр покажет"}}},
    {"a linked page shown without what the viewer leaves out",
     {{"mem/г",
       Utf8File({"г1|$/form.html$Форма.", "г2|$/plain.html$Обычная.", "г3|$/form.html$Ещё раз."})},
      {"bio/form.html",
       "<html><head><meta charset=utf-8><script>x()</script><style>h1 ~ p { color: red } p { "
       "position: fixed }"
       "</style></head><body><iframe "
       "src=x></iframe><form><input></form><p>Текст</p></body></html>"},
      {"bio/plain.html",
       "<html><head><meta charset=utf-8><title>Т</title></head><body><p "
       "onclick=x>Т</p></body></html>"}},
     {{"mem/г", 1, Kind::PageLosesMarkup,
       "bio/form.html будет показана без части разметки: элементы <iframe>, <form>, <input>; "
       "сложные селекторы и "
       "@-правила стилей (1); свойства стилей position"},
      {"mem/г", 3, Kind::PageLosesMarkup, "bio/form.html"}}},
    {"files that the program never selects",
     {{"mem/notes.txt", "anything"}, {"mem/х/readme", "папка с именем буквы"}},
     {{"mem/notes.txt", 0, Kind::UnusedFile, ""}, {"mem/х", 0, Kind::UnusedFile, ""}}},
};

void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.name; }

class FolderCases : public testing::TestWithParam<FolderCase> {};

TEST_P(FolderCases, ReportsExactlyTheExpectedFindings) {
    const FolderCase& c = GetParam();
    TempFolder folder;
    folder.Write("mem/ь", kFallback);
    for (const auto& [path, bytes] : c.files) folder.Write(path, bytes);

    const CheckResult result = CheckFolder(folder.Dir());
    ASSERT_EQ(result.findings.size(), c.expected.size()) << Describe(result);
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
        const auto& want = c.expected[i];
        const auto& got = result.findings[i];
        EXPECT_EQ(got.file, want.file) << Describe(result);
        EXPECT_EQ(got.line, want.line) << Describe(result);
        EXPECT_EQ(got.kind, want.kind) << Describe(result);
        EXPECT_NE(dialogue::ToUtf8(got.message).find(want.messagePart), std::string::npos)
            << "wanted \"" << want.messagePart << "\" in\n"
            << Describe(result);
    }
}

INSTANTIATE_TEST_SUITE_P(Checker, FolderCases, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<FolderCase>& info) {
                             return CaseTestName(info.param.name);
                         });

TEST(CheckFolder, CountsFilesLinesAndSeverities) {
    TempFolder folder;
    folder.Write("mem/г", Utf8File({"гол|Да.", "гол |Нет.", "год"}));
    folder.Write("mem/ь", Utf8File({"5|Да."}));
    folder.Write("mem/к", "\xEF\xBB\xBF\xFF");
    const CheckResult result = CheckFolder(folder.Dir());
    EXPECT_EQ(result.files, 2u);  // the undecodable file is not read
    EXPECT_EQ(result.lines, 4u);
    EXPECT_EQ(result.errors, 2u);
    EXPECT_EQ(result.warnings, 1u);
}

TEST(CheckFolder, OffendingTextIsTheLineAsTheFileHoldsIt) {
    TempFolder folder;
    folder.Write("mem/г", Utf8File({"  гол \t|Да.  "}));
    folder.Write("mem/ь", Utf8File({"5|Да."}));
    const CheckResult result = CheckFolder(folder.Dir());
    ASSERT_EQ(result.findings.size(), 1u);
    EXPECT_EQ(result.findings[0].text, u"  гол \t|Да.  ");
}

TEST(CheckFolder, MissingFallbackIsReportedWithTheProgramsMessage) {
    TempFolder folder;
    folder.Write("mem/г", Utf8File({"гол|Да."}));
    const CheckResult result = CheckFolder(folder.Dir());
    ASSERT_EQ(result.findings.size(), 1u) << Describe(result);
    EXPECT_EQ(result.findings[0].file, "mem/ь");
    EXPECT_EQ(result.findings[0].kind, Kind::NoFallback);
    EXPECT_NE(dialogue::ToUtf8(result.findings[0].message).find("Cannot open file"),
              std::string::npos);
    EXPECT_EQ(result.errors, 0u);
}

TEST(CheckFolder, FileTooLargeForTheProgramIsUnreadable) {
    TempFolder folder;
    folder.Write("mem/ь", kFallback);
    // Sparse: no disk space is used, and the program refuses it by its size before reading.
    folder.Write("mem/г", "");
    std::filesystem::resize_file(folder.Under("mem/г"), dialogue::kMaxKnowledgeFileBytes + 1);
    const CheckResult result = CheckFolder(folder.Dir());
    ASSERT_EQ(result.findings.size(), 1u) << Describe(result);
    EXPECT_EQ(result.findings[0].kind, Kind::Unreadable);
    EXPECT_NE(dialogue::ToUtf8(result.findings[0].message).find("Cannot open file"),
              std::string::npos);
    EXPECT_EQ(result.errors, 1u);
}

TEST(CheckFolder, ReportsProgressPerFile) {
    TempFolder folder;
    for (const char* name : {"mem/а", "mem/б", "mem/ь"}) folder.Write(name, Utf8File({"5|Да."}));
    std::vector<std::pair<std::size_t, std::size_t>> calls;
    CheckFolder(folder.Dir(),
                [&](std::size_t done, std::size_t total) { calls.emplace_back(done, total); });
    const std::vector<std::pair<std::size_t, std::size_t>> want = {{1, 3}, {2, 3}, {3, 3}};
    EXPECT_EQ(calls, want);
}

TEST(CheckFolder, FileTooLargeForTheMemoryLeftIsAFindingAndTheCheckGoesOn) {
    TempFolder folder;
    std::string big = "\xEF\xBB\xBF";
    for (int i = 0; i < 20'000; ++i) big += "а" + std::to_string(i) + "|Да.\n";
    folder.Write("mem/а", big);
    folder.Write("mem/б", Utf8File({"б |Нельзя задать."}));
    folder.Write("mem/ь", kFallback);

    const CheckResult result = CheckFolder(folder.Dir(), {}, 300'000);
    ASSERT_EQ(result.findings.size(), 2u) << Describe(result);
    EXPECT_EQ(result.findings[0].file, "mem/а");
    EXPECT_EQ(result.findings[0].line, 0u);
    EXPECT_EQ(result.findings[0].kind, Kind::Unreadable);
    EXPECT_NE(dialogue::ToUtf8(result.findings[0].message).find("не хватило памяти"),
              std::string::npos);
    EXPECT_EQ(result.findings[1].file, "mem/б");
    EXPECT_EQ(result.findings[1].kind, Kind::BlankAtBar);
    EXPECT_EQ(result.files, 2u);
}

// The checker's verdict must be what the program does: every line without an error is
// the answer to its own question, and no line with an error ever is.
TEST(CheckFolder, VerdictAgreesWithTheProgramOnRandomBases) {
    const std::u16string firsts = u"абвАБ5|  ";
    const std::u16string middles = u"аАб \t";
    for (unsigned seed = 1; seed <= 25; ++seed) {
        std::mt19937 random(seed);
        auto pick = [&](std::u16string_view from) { return from[random() % from.size()]; };
        TempFolder folder;
        std::map<std::string, std::vector<std::u16string>> files;
        for (const char* name : {"mem/а", "mem/б", "mem/ь"}) {
            auto& lines = files[name];
            for (int i = 0; i < 30; ++i) {
                std::u16string line(1, pick(firsts));
                for (unsigned n = random() % 3; n > 0; --n) line += pick(middles);
                if (random() % 6 != 0) line += u"|";
                line += pick(u"xyX");
                lines.push_back(line);
            }
            std::string bytes = "\xEF\xBB\xBF";
            for (const auto& line : lines) bytes += dialogue::ToUtf8(line) + "\r\n";
            folder.Write(name, bytes);
        }

        const CheckResult result = CheckFolder(folder.Dir());
        std::set<std::pair<std::string, std::size_t>> failing;
        for (const auto& f : result.findings) {
            if (checker::KindSeverity(f.kind) == checker::Severity::Error)
                failing.emplace(f.file, f.line);
        }

        dialogue::PhraseList myList(dialogue::DefaultCollator());
        for (const auto& [name, lines] : files) {
            const std::u16string path = folder.Dir() + dialogue::FromUtf8(name);
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const std::u16string_view trimmed = dialogue::TrimView(lines[i]);
                if (trimmed.empty()) continue;
                // The user types the question as the line writes it.
                const std::u16string key = dialogue::NormalisedKey(dialogue::GetLeft(trimmed));
                bool answered = false;
                if (!key.empty()) {
                    const std::u16string selected =
                        dialogue::SelectKnowledgeFile(folder.Dir(), key);
                    myList.Load(selected);
                    const long match = dialogue::AnsweringLine(myList, key);
                    answered = selected == path && match >= 0 &&
                               myList.Line(static_cast<std::size_t>(match)) == lines[i];
                }
                const bool reported = failing.count({name, i + 1}) > 0;
                bool sameTextHeldEarlier = false;
                for (std::size_t j = 0; j < i; ++j) sameTextHeldEarlier |= lines[j] == lines[i];
                if (reported && sameTextHeldEarlier) continue;  // an identical line answers for it
                EXPECT_NE(answered, reported) << "seed " << seed << ", " << name << ":" << i + 1
                                              << " «" << dialogue::ToUtf8(lines[i]) << "»\n"
                                              << Describe(result);
            }
        }
    }
}

}  // namespace
