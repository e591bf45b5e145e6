#include <gtest/gtest.h>

#include <map>

#include "collation.h"
#include "errors.h"
#include "program_folder.h"
#include "knowledge_files.h"
#include "phrase_list.h"

using namespace dialogue;
using testing_support::ProgramFolder;

TEST(FileSelection, OwnFileOrFallback) {
    ProgramFolder folder;
    folder.Write(u"г", "x|y");
    folder.Write(u"ь", "");
    std::filesystem::create_directory(folder.MemPath(u"д"));  // a directory is no file
    const std::u16string dir = folder.Dir();
    const std::u16string fallback = dir + u"mem/ь";

    struct Case {
        std::u16string key;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"грипп", dir + u"mem/г"},
        {u"дом", fallback},  // directory
        {u"яблоко", fallback},
        {u".", fallback},
        {u"..", fallback},
        {u"/etc", fallback},
        {u"?", fallback},
        {u"*", fallback},
        {std::u16string(u"\0a", 2), fallback},
        {u"\xD800"
         u"a",
         fallback},                 // lone surrogate half cannot name a file
        {u"\U0001F600", fallback},  // the first unit of a pair is such a half
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SelectKnowledgeFile(dir, c.key), c.expected) << ToUtf8(c.key);
    }
}

TEST(FileReading, FailuresNameTheNormalisedPathAndTheReason) {
    ProgramFolder folder;
    std::filesystem::create_directory(folder.MemPath(u"ь"));

    struct Case {
        std::u16string path;
        std::string expected;
    };
    const Case cases[] = {
        {folder.Dir() + u"mem/./../mem/нет",
         "Cannot open file \"" + folder.PathOf("mem/нет") + "\". No such file or directory"},
        {folder.Dir() + u"mem/ь",
         "Cannot open file \"" + folder.PathOf("mem/ь") + "\". Is a directory"},
    };
    for (const auto& c : cases) {
        try {
            ReadKnowledgeFile(c.path);
            ADD_FAILURE() << "read " << ToUtf8(c.path);
        } catch (const FileOpenError& error) {
            EXPECT_EQ(ToUtf8(error.Message()), c.expected);
        }
    }
}

namespace {

std::vector<std::u16string> Lines(const PhraseList& list) {
    std::vector<std::u16string> out;
    for (std::size_t i = 0; i < list.Count(); ++i) out.emplace_back(list.Line(i));
    return out;
}

}  // namespace

TEST(PhraseListLoad, SortedCaseInsensitivelyWithoutCaseDuplicates) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {"order whatever the file's order",
         testing_support::Utf8WithMark("яблоко|1\nАрбуз|2\nбанан|3\napple|4\nZebra|5\n"),
         // The tests run without a locale, which orders as "ru": Cyrillic before Latin.
         {u"Арбуз|2", u"банан|3", u"яблоко|1", u"apple|4", u"Zebra|5"}},
        {"lines differing beyond case all stay, repeated ones go",
         testing_support::Utf8WithMark("Грипп|первый\nгрипп|второй\nГРИПП|третий\nгрипп|второй\n"),
         {u"грипп|второй", u"Грипп|первый", u"ГРИПП|третий"}},
        {"identical lines differing only in case collapse to the first",
         testing_support::Utf8WithMark("ГРИПП|ОТВЕТ\nгрипп|ответ\n"),
         {u"ГРИПП|ОТВЕТ"}},
        {"only line breaks give one empty entry", "\r\n\n\r\n", {u""}},
        {"zero bytes give an empty list", "", {}},
        {"lines are kept untrimmed", " a |b\n", {u" a |b"}},
        {"nothing after a NUL", std::string("b|1\na|2\0c|3\n", 12), {u"a|2", u"b|1"}},
        {"ё is not е", testing_support::Utf8WithMark("ёж|1\nеж|1\n"), {u"еж|1", u"ёж|1"}},
    };
    for (const auto& c : cases) {
        PhraseList list(DefaultCollator());
        list.LoadBytes(c.bytes);
        EXPECT_EQ(Lines(list), c.lines) << c.name;
    }
}

TEST(PhraseListLoad, MatchesInsertionOneByOneWithBinarySearch) {
    // The reference: each line in file order goes to its place found by binary search,
    // unless an equal entry is there already.
    const PhraseCollator& collator = DefaultCollator();
    std::vector<std::u16string> lines;
    const char16_t* words[] = {u"Грипп",
                               u"грипп",
                               u"ГРИПП ",
                               u"головная боль",
                               u"Головная Боль",
                               u"",
                               u" ",
                               u"a",
                               u"A",
                               u"б",
                               u"Б",
                               u"ё",
                               u"е",
                               u"1",
                               u"-",
                               u"ab|c",
                               u"AB|C",
                               u"ab|d"};
    for (int round = 0; round < 40; ++round) {
        for (std::size_t w = 0; w < std::size(words); ++w) {
            lines.push_back(words[(w * 7 + round * 3) % std::size(words)] +
                            std::u16string(round % 3, u'x'));
        }
    }
    std::vector<std::u16string> reference;
    for (const auto& line : lines) {
        auto it = std::lower_bound(reference.begin(), reference.end(), line,
                                   [&](const std::u16string& a, const std::u16string& b) {
                                       return collator.Compare(a, b) < 0;
                                   });
        if (it != reference.end() && collator.Compare(*it, line) == 0) continue;
        reference.insert(it, line);
    }
    std::u16string text;
    for (const auto& line : lines) text += line + u"\n";
    std::string bytes("\xFF\xFE", 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    PhraseList list(collator);
    list.LoadBytes(bytes);
    EXPECT_EQ(Lines(list), reference);

    const PhraseOrder order = OrderPhrases(lines, collator);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_LE(order.heldFor[i], i);
        EXPECT_EQ(collator.Compare(lines[order.heldFor[i]], lines[i]), 0);
    }
}

// A file on disk gives the lines its bytes give: no line end is translated and no 0x1A byte
// ends it (a text-mode read on Windows does both; UTF-16 LE «К» is 1A 04).
TEST(PhraseListLoad, FilesOnDiskReadAsTheirBytes) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {"UTF-8 with CR LF",
         testing_support::Utf8WithMark("кот|Да.\r\nКит|Нет.\r\n"),
         {u"Кит|Нет.", u"кот|Да."}},
        {"Windows-1251 with CR LF and a lone CR",
         "\xEA\xEE\xF2|\xC4\xE0.\r\n\xCA\xE8\xF2|1\r2\r\n",
         {u"2", u"Кит|1", u"кот|Да."}},
        {"Windows-1251 with a 1A byte inside a line",
         "\xEA\xEE\xF2|\x1A\r\n\xCA\xE8\xF2|1\r\n",
         {u"Кит|1", u"кот|\x1A"}},
        {"UTF-16 LE whose К is 1A 04",
         std::string("\xFF\xFE\x1A\x04\x38\x04\x42\x04|\x00\x31\x00\r\x00\n\x00"
                     "\x3A\x04\x3E\x04\x42\x04|\x00\x32\x00\r\x00\n\x00",
                     30),
         {u"Кит|1", u"кот|2"}},
        {"UTF-16 BE whose К is 04 1A",
         std::string("\xFE\xFF\x04\x1A\x04\x38\x04\x42\x00|\x00\x31\x00\r\x00\n", 16),
         {u"Кит|1"}},
    };
    ProgramFolder folder;
    for (const auto& c : cases) {
        const auto path = folder.Write(u"к", c.bytes);
        PhraseList fromDisk(DefaultCollator());
        fromDisk.Load(path);
        EXPECT_EQ(Lines(fromDisk), c.lines) << c.name;
        PhraseList fromBytes(DefaultCollator());
        fromBytes.LoadBytes(c.bytes);
        EXPECT_EQ(Lines(fromDisk), Lines(fromBytes)) << c.name;
    }
}

TEST(PhraseListLoad, FailedLoadKeepsPreviousLines) {
    ProgramFolder folder;
    const auto good = folder.Write(u"а", testing_support::Utf8WithMark("арбуз|да\n"));
    const auto broken = folder.Write(u"б", "\xEF\xBB\xBF\xD0");
    PhraseList list(DefaultCollator());
    list.Load(good);
    EXPECT_THROW(list.Load(broken), DecodeError);
    EXPECT_THROW(list.Load(folder.Dir() + u"mem/нет"), FileOpenError);
    EXPECT_EQ(Lines(list), std::vector<std::u16string>{u"арбуз|да"});
}

TEST(PhraseListLoad, ReloadSeesChangedBytesAndPreparesFoldedLines) {
    ProgramFolder folder;
    const auto path =
        folder.Write(u"а", "  \xC0\xF0\xE1\xF3\xE7 |\xC4\xE0\n");  // "  Арбуз |Да" in Windows-1251
    PhraseList list(DefaultCollator());
    list.Load(path);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.Folded(0), u"арбуз |да");
    EXPECT_EQ(list.Question(0), u"Арбуз ");
    list.Load(path);  // the same bytes: kept
    EXPECT_EQ(list.Line(0), u"  Арбуз |Да");
    folder.Write(u"а", "b|c\r\na|d");
    list.Load(path);
    EXPECT_EQ(Lines(list), (std::vector<std::u16string>{u"a|d", u"b|c"}));
}

// Typing a letter again after others takes its list from the recent ones when the file's
// bytes are unchanged; the lists kept stay within their budget, the least recent going.
TEST(PhraseListRecentLists, UnchangedFilesAreNotParsedAgainAndTheBudgetHolds) {
    ProgramFolder folder;
    std::map<std::u16string, std::u16string> paths;
    for (const char16_t* name : {u"а", u"б", u"в"}) {
        std::string lines;
        for (int i = 0; i < 200; ++i) lines += ToUtf8(name) + std::to_string(i) + "|x\n";
        paths[name] = folder.Write(name, testing_support::Utf8WithMark(lines));
    }
    PhraseList list(DefaultCollator());
    list.Load(paths[u"а"]);
    const auto firstA = list.Entries();
    list.Load(paths[u"б"]);
    list.Load(paths[u"а"]);
    EXPECT_EQ(list.Entries(), firstA) << "the unchanged file was parsed again";
    EXPECT_EQ(list.Recent().Count(), 1u);  // б

    std::string changed;
    for (int i = 0; i < 200; ++i) changed += "аа" + std::to_string(i) + "|новое\n";
    folder.Write(u"а", testing_support::Utf8WithMark(changed));
    list.Load(paths[u"б"]);
    list.Load(paths[u"а"]);
    EXPECT_NE(list.Entries(), firstA);
    EXPECT_EQ(std::u16string(list.Line(0)), u"аа0|новое");

    // Room for one list besides the current one: the least recently used goes.
    const std::size_t one = list.Recent().MemoryBytes();
    ASSERT_GT(one, 0u);
    list.LimitRecentLists(one + one / 2);
    list.Load(paths[u"в"]);  // keeps а, drops б as the older
    const auto firstV = list.Entries();
    list.Load(paths[u"б"]);  // parsed again; keeps в, drops а
    EXPECT_EQ(list.Recent().Count(), 1u);
    EXPECT_LE(list.Recent().MemoryBytes(), one + one / 2);
    list.Load(paths[u"в"]);
    EXPECT_EQ(list.Entries(), firstV);
}
