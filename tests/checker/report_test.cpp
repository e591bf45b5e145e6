// Formatting of findings: the text line, JSON escaping and the summary.
#include <gtest/gtest.h>

#include <set>

#include "checker.h"
#include "report.h"

namespace {

using checker::Finding;
using checker::Kind;

TEST(JsonString, EscapesEverythingJsonRequiresAndRepairsLoneSurrogates) {
    struct Case {
        std::u16string text;
        std::string json;
    };
    const Case cases[] = {
        {u"", "\"\""},
        {u"вопрос|ответ", "\"вопрос|ответ\""},
        {u"a\"b\\c/d", "\"a\\\"b\\\\c/d\""},
        {u"\t\r\n\b\f", "\"\\t\\r\\n\\b\\f\""},
        {std::u16string(u"\0\x01\x1f\x7f", 4), "\"\\u0000\\u0001\\u001f\\u007f\""},
        {u"\xD83D\xDE00", "\"\xF0\x9F\x98\x80\""},  // a pair is one code point
        {u"a\xD83D"
         u"b",
         "\"a\xEF\xBF\xBD"
         "b\""},                                            // lone high half
        {u"\xDE00\xD83D", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},  // low before high
        {u"\u2028\u00A0", "\"\xE2\x80\xA8\xC2\xA0\""},
    };
    for (const auto& c : cases) EXPECT_EQ(checker::JsonString(c.text), c.json);
}

TEST(VisibleText, KeepsAFindingOnOneLine) {
    EXPECT_EQ(checker::VisibleText(u"гол\t|да\r\n"), "гол\\t|да\\r\\n");
    EXPECT_EQ(checker::VisibleText(std::u16string(u"\0\x1b\x7f", 3)), "\\x00\\x1b\\x7f");
    EXPECT_EQ(checker::VisibleText(u"\xD800x"), "\xEF\xBF\xBDx");
}

TEST(FormatText, FileLineKindMessageAndText) {
    const Finding line{"mem/г", 12, Kind::BlankAtBar, u"сообщение", u"гол |да"};
    EXPECT_EQ(checker::FormatText(line), "mem/г:12: blank-at-bar: сообщение: «гол |да»");
    const Finding file{"mem/к", 0, Kind::Undecodable, u"сообщение", u""};
    EXPECT_EQ(checker::FormatText(file), "mem/к: undecodable: сообщение");
}

TEST(FormatText, ShortensLongTextWithoutSplittingAPair) {
    std::u16string text(199, u'а');
    text += u"\xD83D\xDE00";  // the pair straddles the cut
    text += std::u16string(500, u'б');
    const std::string out = checker::FormatText(Finding{"mem/а", 1, Kind::NoBar, u"м", text});
    EXPECT_EQ(out.find("\xEF\xBF\xBD"), std::string::npos);
    EXPECT_NE(out.find("а…»"), std::string::npos) << out;
    EXPECT_LT(out.size(), 600u);
}

TEST(FormatJson, HoldsEveryFieldWithTheFullText) {
    const std::u16string text = u"\"цитата\"\t" + std::u16string(300, u'я');
    const Finding f{"mem/ь", 3, Kind::MissingPage, u"ссылка «\\x»", text};
    EXPECT_EQ(checker::FormatJson(f),
              "{\"file\":\"mem/ь\",\"line\":3,\"kind\":\"missing-page\",\"severity\":\"warning\","
              "\"message\":\"ссылка «\\\\x»\",\"text\":" +
                  checker::JsonString(text) + "}");
}

TEST(FormatSummary, CountsBySeverity) {
    checker::CheckTotals clean;
    clean.files = 20;
    clean.lines = 136;
    EXPECT_EQ(checker::FormatSummary(clean), "Замечаний нет. Проверено файлов: 20, строк: 136.");

    checker::CheckTotals found = clean;
    found.errors = 2;
    found.warnings = 1;
    EXPECT_EQ(checker::FormatSummary(found),
              "Ошибок: 2, предупреждений: 1. Проверено файлов: 20, строк: 136.");
}

TEST(Kinds, IdsAreDistinctAsciiAndEachIsDescribed) {
    std::set<std::string> ids;
    for (const Kind kind : checker::kAllKinds) {
        const std::string id = checker::KindId(kind);
        EXPECT_TRUE(ids.insert(id).second) << id;
        for (const char c : id)
            EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') << id;
        EXPECT_NE(std::u16string(checker::KindDescription(kind)), u"") << id;
    }
}

}  // namespace
