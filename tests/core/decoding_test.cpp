#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "decoding.h"
#include "errors.h"
#include "line_splitting.h"

using namespace dialogue;

TEST(Decoding, MarkChoosesEncodingAndIsDropped) {
    struct Case {
        const char* name;
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"utf-8 with mark", "\xEF\xBB\xBF\xD0\x90\xD0\xB1|x", u"Аб|x"},
        {"utf-16 le", std::string("\xFF\xFE\x10\x04\x31\x04", 6), u"Аб"},
        {"utf-16 be", std::string("\xFE\xFF\x04\x10\x04\x31", 6), u"Аб"},
        {"windows-1251", "\xC0\xE1\xA8\xB8|\x97", u"АбЁё|—"},
        // Without a mark even UTF-8 bytes are Windows-1251 text.
        {"utf-8 without mark", "\xD0\x90", u"Рђ"},
        // A partial mark is text.
        {"partial utf-8 mark", "\xEF\xBB", u"п»"},
        {"empty", "", u""},
        {"mark only", "\xEF\xBB\xBF", u""},
        {"utf-16 mark only", "\xFF\xFE", u""},
        // An odd last byte after three or more is dropped without complaint.
        {"utf-16 odd tail", std::string("\xFF\xFE\x41\x00\x42", 5), u"A"},
        // Lone surrogates in UTF-16 pass through as units.
        {"utf-16 lone surrogate", std::string("\xFF\xFE\x00\xD8\x41\x00", 6),
         u"\xD800"
         u"A"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeKnowledgeText(c.bytes), c.text) << c.name;
        // Into room of exactly the announced size, which the sanitizers hold it to.
        std::vector<char16_t> room(DecodedUnitsAtMost(c.bytes));
        const std::size_t written = DecodeKnowledgeTextInto(c.bytes, room.data());
        EXPECT_EQ(std::u16string(room.data(), written), c.text) << c.name;
    }
}

TEST(Decoding, EveryWindows1251ByteDecodesToOneUnit) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::u16string text = DecodeKnowledgeText(all);
    ASSERT_EQ(text.size(), all.size());
    EXPECT_EQ(text[0xC0 - 1], u'А');
    EXPECT_EQ(text[0xFF - 1], u'я');
    EXPECT_EQ(text[0x98 - 1], u'\x98');  // the one byte the code page leaves unassigned
}

TEST(Decoding, RefusesInvalidUtf8AndLoneByteAfterUtf16Mark) {
    const std::string refused[] = {
        "\xEF\xBB\xBF\xFF",                       // not UTF-8 at all
        std::string("\xEF\xBB\xBF") + "abc\xD0",  // truncated sequence at the end
        "\xEF\xBB\xBF\xC0\x80",                   // overlong NUL
        "\xEF\xBB\xBF\xED\xA0\x80",               // encoded surrogate
        "\xEF\xBB\xBF\xF4\x90\x80\x80",           // beyond U+10FFFF
        std::string("\xFF\xFE\x41", 3),           // UTF-16 mark and one byte
        std::string("\xFE\xFF\x41", 3),
    };
    for (const auto& bytes : refused) {
        try {
            DecodeKnowledgeText(bytes);
            ADD_FAILURE() << "accepted " << testing::PrintToString(bytes);
        } catch (const DecodeError& error) {
            EXPECT_EQ(
                error.Message(),
                u"No mapping for the Unicode character exists in the target multi-byte code page");
        }
    }
}

// Whatever decodes is encoded back to the same bytes, so that a file can be rewritten
// without touching what is not changed; text an encoding cannot hold gives nothing.
TEST(Encoding, DecodedTextEncodesBackToItsBytes) {
    std::string all1251;
    for (int b = 1; b < 256; ++b) all1251 += static_cast<char>(b);
    const std::string samples[] = {
        "\xEF\xBB\xBF\xD0\x90\xD0\xB1|x\r\n\xF0\x9F\x98\x80",
        std::string("\xFF\xFE\x10\x04\x00\xD8\x0A\x00", 8),
        std::string("\xFE\xFF\x04\x10\xDC\x00", 6),
        all1251,
        "",
    };
    for (const auto& bytes : samples) {
        const auto encoding = DetectEncoding(bytes).encoding;
        EXPECT_EQ(EncodeKnowledgeText(DecodeKnowledgeText(bytes), encoding), bytes) << bytes;
    }

    struct Refused {
        const char* name;
        std::u16string text;
        TextEncoding encoding;
    };
    const Refused refused[] = {
        {"a letter outside Windows-1251", u"ω|x", TextEncoding::Windows1251},
        {"Windows-1251 text that begins like a UTF-16 mark", u"яюблоко|x",
         TextEncoding::Windows1251},
        {"Windows-1251 text that begins like a UTF-8 mark", u"п»їx", TextEncoding::Windows1251},
        {"a lone surrogate half in UTF-8", u"a\xD800", TextEncoding::Utf8},
    };
    for (const auto& c : refused) EXPECT_FALSE(EncodeKnowledgeText(c.text, c.encoding)) << c.name;
    EXPECT_EQ(EncodeKnowledgeText(u"юя", TextEncoding::Utf8), "\xEF\xBB\xBF\xD1\x8E\xD1\x8F");
}

TEST(Decoding, Utf8TextWithoutMark) {
    EXPECT_EQ(DecodeUtf8Text("\xD0\x90|x"), std::u16string(u"А|x"));
    EXPECT_FALSE(DecodeUtf8Text("\xE3\xEE\xEB"));  // "гол" in Windows-1251
}

TEST(LineSplitting, BreaksAndNulAsTheLoaderSeesThem) {
    struct Case {
        std::u16string text;
        std::vector<std::u16string> lines;
        std::optional<std::size_t> nulLine;
        bool textAfterNul;
    };
    const Case cases[] = {
        {u"", {}, {}, false},
        {u"a", {u"a"}, {}, false},
        {u"a\r\nb\rc\nd", {u"a", u"b", u"c", u"d"}, {}, false},
        {u"a\n", {u"a"}, {}, false},
        {u"a\n\r", {u"a", u""}, {}, false},  // LF CR ends two lines
        {u"\n\r\n", {u"", u""}, {}, false},
        {u"\r\n", {u""}, {}, false},
        {u"a\n\nb", {u"a", u"", u"b"}, {}, false},
        {u"a\r\rb", {u"a", u"", u"b"}, {}, false},
        {std::u16string(u"a\nb\0c\nd", 7), {u"a", u"b"}, 2, true},
        {std::u16string(u"a\n\0c", 4), {u"a"}, 2, true},
        {std::u16string(u"\0abc", 4), {}, 1, true},
        {std::u16string(u"a\0", 2), {u"a"}, 1, false},
        {u" x |y \t", {u" x |y \t"}, {}, false},
    };
    for (const auto& c : cases) {
        const SplitLines split = SplitIntoLines(c.text);
        EXPECT_EQ(split.lines, c.lines) << ToUtf8(c.text);
        EXPECT_EQ(split.nulLine, c.nulLine) << ToUtf8(c.text);
        EXPECT_EQ(split.textAfterNul, c.textAfterNul) << ToUtf8(c.text);
    }
}

// Runs of ASCII are copied eight bytes at a time; whatever the mix and the alignment, the
// text must be what decoding byte by byte gives.
TEST(Decoding, Windows1251InBulkEqualsByteByByte) {
    std::mt19937 random(1251);
    for (int round = 0; round < 500; ++round) {
        std::string bytes(random() % 40, '\0');
        for (char& b : bytes)
            b = static_cast<char>(random() % 3 == 0 ? 0x80 + random() % 128 : 0x20 + random() % 95);
        // No byte-order mark: the text is Windows-1251 throughout.
        if (!bytes.empty() && (bytes[0] == '\xEF' || bytes[0] == '\xFF' || bytes[0] == '\xFE'))
            bytes[0] = 'x';
        std::u16string oneByOne;
        for (const char b : bytes) oneByOne += DecodeKnowledgeText(std::string(1, b));
        ASSERT_EQ(DecodeKnowledgeText(bytes), oneByOne) << round;
    }
}
