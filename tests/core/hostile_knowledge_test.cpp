// Knowledge files a careless author or an attacker could put beside the program: each
// loads, or is refused with the "Cannot open file" message, and the list keeps its lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <random>

#include "collation.h"
#include "distinct_lines.h"
#include "errors.h"
#include "insertion_order.h"
#include "knowledge_files.h"
#include "phrase_list.h"
#include "program_folder.h"
#include "utf8_path.h"

using namespace dialogue;
using testing_support::ProgramFolder;

namespace {

std::string Utf16Le(std::u16string_view text) {
    std::string bytes("\xFF\xFE", 2);
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::string Repeated(std::string_view piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) out += piece;
    return out;
}

std::string DistinctLinesFile(std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) out += "a" + std::to_string(i) + "|x\n";
    return out;
}

std::vector<std::u16string> Lines(const PhraseList& list) {
    std::vector<std::u16string> out;
    for (std::size_t i = 0; i < list.Count(); ++i) out.emplace_back(list.Line(i));
    return out;
}

std::vector<std::u16string> InsertedOneByOne(const std::vector<std::u16string>& lines) {
    return testing_support::InsertedOneByOne(lines, DefaultCollator());
}

}  // namespace

TEST(HostileKnowledgeFiles, LoadOrAreRefusedWithTheReason) {
    const std::u16string longLine(300'000, u'\xFDFA');  // expands to 18 letters each in its key
    struct Case {
        const char* name;
        std::function<void(const ProgramFolder&, const std::string& path)> make;
        std::size_t memoryLimit;  // 0: what the system has
        std::string reason;       // empty: the file loads
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {"a million line breaks are one empty entry",
         [](auto& f, auto&) { f.Write(u"а", Repeated("\r\n", 1'000'000)); },
         0,
         "",
         {u""}},
        {"a million copies of one line are that line",
         [](auto& f, auto&) {
             f.Write(u"а", testing_support::Utf8WithMark(Repeated("а|б\n", 1'000'000)));
         },
         0,
         "",
         {u"а|б"}},
        {"a line whose sort key would be huge",
         [&](auto& f, auto&) { f.Write(u"а", Utf16Le(u"b|1\n" + longLine + u"\na|2")); },
         0,
         "",
         {u"a|2", u"b|1", longLine}},
        {"twenty megabytes of NUL end before the first line",
         [](auto&, const std::string& path) {
             std::filesystem::resize_file(untrusted_files::PathFromUtf8(path), 20 << 20);
         },
         0,
         "",
         {}},
        {"a sparse file over the size limit",
         [](auto&, const std::string& path) {
             std::filesystem::resize_file(untrusted_files::PathFromUtf8(path), (512 << 20) + 1);
         },
         0,
         "File too large",
         {}},
        {"lines that do not fit the memory left",
         [](auto& f, auto&) { f.Write(u"а", DistinctLinesFile(20'000)); },
         300'000,
         "Cannot allocate memory",
         {}},
        {"text that does not fit the memory left",
         [](auto& f, auto&) { f.Write(u"а", Repeated("\n", 200'000)); },
         300'000,
         "Cannot allocate memory",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramFolder folder;
        const std::u16string path = folder.Write(u"а", "");
        c.make(folder, folder.PathOf("mem/а"));
        const std::u16string previous =
            folder.Write(u"п", testing_support::Utf8WithMark("прежняя|строка\n"));

        PhraseList list(DefaultCollator());
        list.Load(previous);
        if (c.memoryLimit != 0) list.LimitMemory(c.memoryLimit);
        if (c.reason.empty()) {
            list.Load(path);
            EXPECT_EQ(Lines(list), c.lines);
            continue;
        }
        try {
            list.Load(path);
            ADD_FAILURE() << "loaded";
        } catch (const FileOpenError& error) {
            EXPECT_EQ(ToUtf8(error.Message()),
                      "Cannot open file \"" + folder.PathOf("mem/а") + "\". " + c.reason);
        }
        EXPECT_EQ(Lines(list), std::vector<std::u16string>{u"прежняя|строка"});
    }
}

TEST(HostileKnowledgeFiles, RefusedLoadLeavesTheListAsItWasForTheSameBytesLater) {
    // A refusal must not count as the last load: the same bytes are tried again in full.
    PhraseList list(DefaultCollator());
    const std::string bytes = DistinctLinesFile(5'000);
    list.LimitMemory(100'000);
    EXPECT_THROW(list.LoadBytes(bytes), OutOfMemoryError);
    EXPECT_EQ(list.Count(), 0u);
    list.LimitMemory(std::size_t{1} << 30);
    list.LoadBytes(bytes);
    EXPECT_EQ(list.Count(), 5'000u);
}

// The collection reckons its room from the text's beginning; files whose beginning is
// nothing like the rest, or that hold only line breaks, must come out the same.
TEST(DistinctLines, FirstAppearancesWhateverTheRoomReckoned) {
    const auto numbered = [](std::size_t count, std::size_t distinct) {
        std::u16string text;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string number = std::to_string(i % distinct);
            text += std::u16string(number.begin(), number.end()) + u"|x\r\n";
        }
        return text;
    };
    const struct {
        const char* name;
        std::u16string text;
    } cases[] = {
        {"a long first line, then many short ones",
         std::u16string(70'000, u'я') + u"\n" + numbered(60'000, 25'000)},
        {"many short lines, then a long one",
         numbered(60'000, 60'000) + std::u16string(70'000, u'я')},
        {"line breaks only", std::u16string(200'000, u'\n')},
        {"one short line again and again", numbered(100'000, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::u16string_view> expected;
        std::vector<std::size_t> expectedFileLines;
        std::map<std::u16string_view, std::size_t> seen;
        std::size_t fileLines = 0;
        ForEachLine(c.text, [&](std::u16string_view line) {
            if (seen.emplace(line, expected.size()).second) {
                expected.push_back(line);
                expectedFileLines.push_back(fileLines);
            }
            ++fileLines;
        });
        const DistinctLines distinct(c.text);
        ASSERT_EQ(distinct.Lines().size(), expected.size());
        EXPECT_EQ(distinct.FileLineCount(), fileLines);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(distinct.Lines()[i], expected[i]) << i;
            ASSERT_EQ(distinct.FirstFileLine(i), expectedFileLines[i]) << i;
            ASSERT_EQ(distinct.IndexOf(expected[i]), i) << i;
        }
        EXPECT_EQ(distinct.IndexOf(u"не в файле"), DistinctLines::npos);
    }
}

// Random lines of the kinds knowledge files hold, and of the kinds that trip collation:
// letter case, ё and е, combining marks, surrogate pairs with case, ignorable characters.
TEST(PhraseOrderDifferential, RandomLinesInTheOrderOfInsertionOneByOne) {
    const std::vector<std::u16string> pieces = {
        u"а",          u"А",          u"б",   u"е",      u"ё",      u"Ё",       u"ж",
        u"я",          u"Я",          u"a",   u"A",      u"b",      u"z",       u"Z",
        u"0",          u"9",          u" ",   u"|",      u"-",      u"!",       u".",
        u"$",          u"\u0301",      // combining acute
        u"\u00AD",                     // soft hyphen, ignorable
        u"\u200B",                     // zero-width space
        u"\U00010400", u"\U00010428",  // Deseret capital and small letter
        u"\U0001F600", u"ß",          u"ss",  u"\uFDFA", u"\u00E9", u"e\u0301", u"й",
        u"и\u0306",    u"…",          u"...", u"№",      u"ﬁ",      u"\uFDD1",  // expansions,
                                                                                // contractions
    };
    std::mt19937 random(20261210);
    // ICU's keys or the weights' keys; short lines without keys.
    struct Limits {
        std::size_t maxKeyed;
        std::size_t weightsFrom;
    };
    for (const Limits config : {Limits{4096, 1'000'000}, Limits{4096, 0}, Limits{6, 0}}) {
        SCOPED_TRACE(testing::Message()
                     << config.maxKeyed << " units keyed, weights from " << config.weightsFrom);
        for (int round = 0; round < 60; ++round) {
            std::vector<std::u16string> lines;
            for (int n = 0; n < 150; ++n) {
                std::u16string line;
                const int length = static_cast<int>(random() % 12);
                for (int k = 0; k < length; ++k) line += pieces[random() % pieces.size()];
                lines.push_back(line);
                // Near-copies make ties: the same line in another case, or longer by a mark.
                if (random() % 4 == 0) lines.push_back(line + pieces[random() % pieces.size()]);
            }
            OrderLimits limits;
            limits.maxKeyedUnits = config.maxKeyed;
            limits.weightsFromLines = config.weightsFrom;
            const PhraseOrder order = OrderPhrases(lines, DefaultCollator(), limits);
            std::vector<std::u16string> held;
            for (const std::size_t i : order.held) held.push_back(lines[i]);
            ASSERT_EQ(held, InsertedOneByOne(lines)) << "round " << round;
            for (std::size_t i = 0; i < lines.size(); ++i) {
                ASSERT_LE(order.heldFor[i], i);
                ASSERT_EQ(DefaultCollator().Compare(lines[order.heldFor[i]], lines[i]), 0);
            }
        }
    }
}

TEST(PhraseOrderDifferential, SampleBaseInTheOrderOfInsertionOneByOne) {
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(TSL_SOURCE_DIR) / "data" / "mem")) {
        SCOPED_TRACE(untrusted_files::Utf8FromPath(entry.path()));
        const std::u16string path = FromUtf8(untrusted_files::Utf8FromPath(entry.path()));
        const std::string bytes = ReadKnowledgeFile(path);
        const std::vector<std::u16string> lines = ParseKnowledgeBytes(bytes).lines;
        const std::vector<std::u16string> expected = InsertedOneByOne(lines);
        PhraseList list(DefaultCollator());
        list.Load(path);
        std::vector<std::u16string> held;
        for (std::size_t i = 0; i < list.Count(); ++i) held.emplace_back(list.Line(i));
        EXPECT_EQ(held, expected);
        // A file this small is keyed by ICU; the weights must give the same.
        OrderLimits byWeights;
        byWeights.weightsFromLines = 0;
        held.clear();
        for (const std::size_t i : OrderPhrases(lines, DefaultCollator(), byWeights).held)
            held.push_back(lines[i]);
        EXPECT_EQ(held, expected);
        ++files;
    }
    EXPECT_GE(files, 10u);
}

TEST(PhraseOrderDifferential, LinesTooLongForKeysAmongOrdinaryOnes) {
    // Long lines are compared by text, short ones by key; the two must agree everywhere,
    // including lines that share a long beginning and differ at the very end or in case.
    const std::u16string stem(5'000, u'ж');
    const std::vector<std::u16string> lines = {
        stem + u"б",      u"жук",
        stem + u"а",      stem + u"Б",
        u"Жжж",           stem,
        stem + u"\u0301", u"ж",
        stem + u"а",      std::u16string(20'000, u'\xFDFA'),
        u"\uFDFA",        u"я",
    };
    for (const std::size_t weightsFrom : {std::size_t{0}, OrderLimits{}.weightsFromLines}) {
        OrderLimits limits;
        limits.weightsFromLines = weightsFrom;
        std::vector<std::u16string> held;
        for (const std::size_t i : OrderPhrases(lines, DefaultCollator(), limits).held)
            held.push_back(lines[i]);
        EXPECT_EQ(held, InsertedOneByOne(lines)) << "weights from " << weightsFrom;
    }
}
