#include <gtest/gtest.h>

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include "errors.h"
#include "mapped_memory.h"
#include "scratch_vector.h"
#include "text.h"
#include "text_buffer.h"

using namespace dialogue;

TEST(LineFunctions, SplitQuestionAndAnswerAtFirstBar) {
    struct Case {
        std::u16string line, left, right;
    };
    const Case cases[] = {
        {u"вопрос|ответ|ещё", u"вопрос", u"ответ|ещё"},
        {u"вопрос без черты", u"вопрос без черты", u""},
        {u"|ответ", u"", u"ответ"},
        {u"вопрос |ответ", u"вопрос ", u"ответ"},
        {u"вопрос|", u"вопрос", u""},
        {u"", u"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetLeft(c.line), c.left) << ToUtf8(c.line);
        EXPECT_EQ(GetRight(c.line), c.right) << ToUtf8(c.line);
    }
}

TEST(LineFunctions, LinkRuleCutsLinkAndRest) {
    struct Case {
        std::u16string answer, link, rest;
    };
    const Case cases[] = {
        {u"$a$b$c", u"a", u"b$c"},
        {u"$$текст", u"", u"текст"},
        {u"$/gripp.html$Грипп — вирусная инфекция", u"/gripp.html", u"Грипп — вирусная инфекция"},
        {u"$без второго знака", u"без второго знака", u""},
        {u"$", u"", u""},
        {u"$$", u"", u""},
        {u"$a$", u"a", u""},
        {u"$a$$b", u"a", u"$b"},
    };
    for (const auto& c : cases) {
        const LinkedAnswer cut = SplitLink(c.answer);
        EXPECT_EQ(cut.link, c.link) << ToUtf8(c.answer);
        EXPECT_EQ(cut.rest, c.rest) << ToUtf8(c.answer);
    }
}

TEST(LineFunctions, BackslashInLinkIsReadAsSlash) {
    EXPECT_EQ(PortLinkSeparators(u"\\статьи\\gripp.html"), u"/статьи/gripp.html");
}

TEST(LineFunctions, TrimDropsCodesUpTo32Only) {
    EXPECT_EQ(Trim(u"  \t\r\n\x01Привет  мир\x1f "), u"Привет  мир");
    // DEL and the C1 controls are not trimmed.
    EXPECT_EQ(Trim(u"\x7f"
                   u"a\x85"),
              u"\x7f"
              u"a\x85");
    EXPECT_EQ(Trim(u" \t "), u"");
}

TEST(LineFunctions, LowerCaseMapsEachUnitAndKeepsLength) {
    EXPECT_EQ(LowerCase(u"ГОЛОВНАЯ Боль ЁЖ Apple"), u"головная боль ёж apple");
    // U+0130 lower-cases to a plain i by the simple mapping; a pair lower-cases as the
    // character it stands for (Deseret, Osage); an emoji and a lone half stay.
    const std::u16string mixed = u"\u0130\U0001F600\U00010400\U000104B0\xD800Ω\xDC00";
    const std::u16string lowered = LowerCase(mixed);
    ASSERT_EQ(lowered.size(), mixed.size());
    EXPECT_EQ(lowered, u"i\U0001F600\U00010428\U000104D8\xD800ω\xDC00");
}

TEST(LineFunctions, EveryCharacterBeyondTheBmpLowerCasesAsIcuMapsIt) {
    for (UChar32 c = 0x10000; c <= 0x10FFFF; ++c) {
        std::u16string character(2, u'\0');
        character[0] = U16_LEAD(c);
        character[1] = U16_TRAIL(c);
        const UChar32 icu = u_tolower(c);
        std::u16string expected = character;
        if (icu > 0xFFFF) {
            expected[0] = U16_LEAD(icu);
            expected[1] = U16_TRAIL(icu);
        }
        const std::u16string line = u"аб" + character + u"cd";
        ASSERT_EQ(LowerCase(line), u"аб" + expected + u"cd") << c;
        ASSERT_EQ(ChangesInLowerCase(line), expected != character) << c;
    }
}

TEST(LineFunctions, EveryUnitLowerCasesAsIcuMapsItAndChangesAreSeen) {
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        const auto unit = static_cast<char16_t>(c);
        const UChar32 icu = u_tolower(static_cast<UChar32>(c));
        const char16_t expected = icu <= 0xFFFF ? static_cast<char16_t>(icu) : unit;
        ASSERT_EQ(LowerUnit(unit), expected) << static_cast<int>(c);
        const std::u16string line = u"аб" + std::u16string(1, unit) + u"cd";
        ASSERT_EQ(LowerCase(line), u"аб" + std::u16string(1, expected) + u"cd")
            << static_cast<int>(c);
        ASSERT_EQ(ChangesInLowerCase(line), expected != unit) << static_cast<int>(c);
    }
}

TEST(TextBuffer, KeepsItsTextThroughGrowingShrinkingAndMoving) {
    TextBuffer buffer;
    EXPECT_EQ(buffer.View(), u"");
    std::u16string expected;
    for (int i = 0; i < 5000; ++i) {
        const std::u16string piece =
            u"строка " + std::u16string(1, static_cast<char16_t>(u'а' + i % 32));
        std::copy(piece.begin(), piece.end(), buffer.Extend(piece.size()));
        expected += piece;
    }
    EXPECT_EQ(buffer.View(), expected);
    buffer.Truncate(7);
    buffer.ShrinkToFit();
    EXPECT_EQ(buffer.Capacity(), 7U);
    EXPECT_EQ(buffer.View(), u"строка ");
    TextBuffer moved = std::move(buffer);
    EXPECT_EQ(moved.View(), u"строка ");
    EXPECT_EQ(buffer.View(), u"");  // NOLINT(bugprone-use-after-move): moved-from is empty
    moved.Truncate(0);
    moved.ShrinkToFit();
    EXPECT_EQ(moved.Capacity(), 0U);
    EXPECT_EQ(moved.View(), u"");
}

// Large text lives in memory mapped from the system, smaller text in the C library's;
// the text has to come through every move between the two whole.
TEST(TextBuffer, KeepsLargeTextAcrossTheMappedSizes) {
    constexpr std::size_t kMapped = kMappedFromBytes / sizeof(char16_t);
    struct Step {
        const char* name;
        std::size_t size;  // the text's size after the step
        bool shrink;       // grown to size by Extend, or truncated to it and shrunk
    };
    const Step steps[] = {
        {"small", 1000, false},
        {"grown into a mapping", 3 * kMapped + 17, false},
        {"grown within mappings", 5 * kMapped, false},
        {"shrunk to a smaller mapping", 2 * kMapped + 1, true},
        {"shrunk out of the mapping", kMapped / 2, true},
        {"grown again", kMapped + 3, false},
        {"emptied", 0, true},
    };
    TextBuffer buffer;
    std::u16string expected;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.shrink) {
            buffer.Truncate(step.size);
            expected.resize(step.size);
            buffer.ShrinkToFit();
            EXPECT_EQ(buffer.Capacity(), step.size);
        } else {
            const std::size_t added = step.size - buffer.Size();
            char16_t* at = buffer.Extend(added);
            for (std::size_t i = 0; i < added; ++i) {
                at[i] = static_cast<char16_t>(u'а' + (expected.size() + i) % 32);
            }
            expected.append(at, added);
        }
        ASSERT_EQ(buffer.Size(), expected.size());
        EXPECT_TRUE(buffer.View() == expected);
    }
}

// The memory figures of the benchmarks count mapped buffers by what they hold now.
TEST(TextBuffer, MappedBytesHeldFollowTheBuffer) {
    constexpr std::size_t kMapped = kMappedFromBytes / sizeof(char16_t);
    const std::size_t before = MappedBytesHeld();
    {
        TextBuffer buffer;
        buffer.Extend(3 * kMapped);
        EXPECT_EQ(MappedBytesHeld() - before, buffer.Capacity() * sizeof(char16_t));
        buffer.Truncate(2 * kMapped);
        buffer.ShrinkToFit();
        EXPECT_EQ(MappedBytesHeld() - before, 2 * kMappedFromBytes);
        ScratchVector<std::size_t> numbers(kMappedFromBytes);
        EXPECT_GE(MappedBytesHeld() - before,
                  2 * kMappedFromBytes + numbers.size() * sizeof(std::size_t));
    }
    EXPECT_EQ(MappedBytesHeld(), before);
}

TEST(ScratchVector, KeepsItsElementsAcrossTheMappedSizes) {
    ScratchVector<std::size_t> numbers;
    for (std::size_t i = 0; i < 3 * kMappedFromBytes / sizeof(std::size_t); ++i)
        numbers.push_back(i);
    numbers.resize(1000);
    numbers.shrink_to_fit();
    numbers.resize(kMappedFromBytes, 7);
    for (std::size_t i = 0; i < numbers.size(); ++i) ASSERT_EQ(numbers[i], i < 1000 ? i : 7) << i;
}

TEST(ErrorReport, AppendsPeriodAfterCharactersAboveIt) {
    EXPECT_EQ(ErrorReportText(u"Cannot open file \"/x\". No such file or directory"),
              u"Cannot open file \"/x\". No such file or directory.");
    EXPECT_EQ(ErrorReportText(u"Done."), u"Done.");
    EXPECT_EQ(ErrorReportText(u"Ошибка!"), u"Ошибка!");  // '!' sorts before '.'
    EXPECT_EQ(ErrorReportText(u"code 7"), u"code 7.");
    EXPECT_EQ(ErrorReportText(u""), u"");
}
