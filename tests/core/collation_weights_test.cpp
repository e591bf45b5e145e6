// The weights of single characters must order exactly as ICU does, or the phrase list
// would differ from inserting its lines one by one.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include "collation.h"
#include "collation_weights.h"
#include "default_locale.h"

using namespace dialogue;
using testing_support::DefaultLocale;

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

int CompareByWeights(const CollationWeights& weights, std::u16string_view a,
                     std::u16string_view b) {
    std::vector<std::uint8_t> left;
    std::vector<std::uint8_t> right;
    weights.AppendPrimaryKey(a, left);
    weights.AppendPrimaryKey(b, right);
    if (left != right) return left < right ? -1 : 1;
    return weights.CompareSecondary(a, b);
}

// Locales with contractions, script reordering, other letters or a case order of their own.
const char* const kLocales[] = {"ru", "en_US", "sv", "da", "ja", "uk"};

}  // namespace

TEST(CollationWeights, EveryCoveredCharacterOrdersAsIcuOrdersIt) {
    for (const char* name : kLocales) {
        SCOPED_TRACE(name);
        DefaultLocale locale(name);
        PhraseCollator collator;
        CollationWeights* weights = collator.Weights();
        ASSERT_NE(weights, nullptr);
        std::vector<std::u16string> covered;
        for (char32_t c = 1; c <= 0xFFFF; ++c) {
            const std::u16string text(1, static_cast<char16_t>(c));
            if (weights->Covers(text)) covered.push_back(text);
        }
        weights->Rank();
        // The letters of the knowledge files at least, and much else.
        EXPECT_GT(covered.size(), 20'000u);
        const std::u16string letters = u"аАбёЁйЙяЯazlLAZ09 .,-!?|$«»—…№";
        for (const char16_t c : letters) {
            if (name == std::string("ru") || name == std::string("en_US")) {
                EXPECT_TRUE(weights->Covers(std::u16string(1, c))) << static_cast<int>(c);
            }
        }
        std::stable_sort(covered.begin(), covered.end(),
                         [&](const auto& a, const auto& b) { return collator.Compare(a, b) < 0; });
        // Both orders are total, so agreeing on every neighbour is agreeing everywhere.
        for (std::size_t i = 1; i < covered.size(); ++i) {
            ASSERT_EQ(CompareByWeights(*weights, covered[i - 1], covered[i]),
                      Sign(collator.Compare(covered[i - 1], covered[i])))
                << static_cast<int>(covered[i - 1][0]) << " " << static_cast<int>(covered[i][0]);
        }
    }
}

TEST(CollationWeights, RandomStringsOrderAsIcuOrdersThem) {
    // Expansions, ignorables, letters that differ only in secondary weights, letters that
    // start contractions, and characters that continue one (which are left to ICU).
    const std::u16string pieces =
        u"аАеЕёЁиИйЙьЪяЯaAeEzZ019 .-|$…№ßæœﬁ½ǆ\u00AD\u200B\u2116\u0152ÅåÄäÖöŁłØøΣσςกเแ"
        u"\u0306\u0308\u0301\u3131\uAC00\u30FC\u30A2";
    std::mt19937 random(20261210);
    for (const char* name : kLocales) {
        SCOPED_TRACE(name);
        DefaultLocale locale(name);
        PhraseCollator collator;
        CollationWeights* weights = collator.Weights();
        ASSERT_NE(weights, nullptr);
        std::vector<std::u16string> strings;
        for (int n = 0; n < 4000; ++n) {
            std::u16string s;
            const int length = static_cast<int>(random() % 7);
            for (int k = 0; k < length; ++k) s += pieces[random() % pieces.size()];
            if (weights->Covers(s)) strings.push_back(s);
        }
        weights->Rank();
        EXPECT_GT(strings.size(), 1000u);
        for (std::size_t i = 0; i + 1 < strings.size(); ++i) {
            for (std::size_t j : {i + 1, static_cast<std::size_t>(random() % strings.size())}) {
                ASSERT_EQ(CompareByWeights(*weights, strings[i], strings[j]),
                          Sign(collator.Compare(strings[i], strings[j])));
            }
        }
    }
}

TEST(CollationWeights, CharactersThatChangeWhatPrecedesThemAreLeftToIcu) {
    DefaultLocale locale("ru");
    PhraseCollator collator;
    CollationWeights* weights = collator.Weights();
    ASSERT_NE(weights, nullptr);
    // A combining breve makes "и" the letter "й"; a surrogate half; a Hangul jamo.
    for (const std::u16string text : {u"и\u0306", u"\U0001F600", u"\u1100"}) {
        EXPECT_FALSE(weights->Covers(text));
    }
}

TEST(CollationWeights, SettingsThatCompareOtherwiseGetNoWeights) {
    struct Case {
        const char* locale;
        UColAttribute attribute;
        UColAttributeValue value;
    };
    const Case cases[] = {
        {"fr_CA", UCOL_STRENGTH, UCOL_SECONDARY},  // backward secondary weights
        {"th", UCOL_STRENGTH, UCOL_SECONDARY},     // punctuation shifted
        {"ru", UCOL_ALTERNATE_HANDLING, UCOL_SHIFTED},
        {"ru", UCOL_NUMERIC_COLLATION, UCOL_ON},
        {"ru", UCOL_CASE_LEVEL, UCOL_ON},
        {"ru", UCOL_STRENGTH, UCOL_TERTIARY},
    };
    for (const Case& c : cases) {
        UErrorCode status = U_ZERO_ERROR;
        UCollator* collator = ucol_open(c.locale, &status);
        ASSERT_TRUE(U_SUCCESS(status));
        ucol_setStrength(collator, UCOL_SECONDARY);
        ucol_setAttribute(collator, c.attribute, c.value, &status);
        EXPECT_EQ(CollationWeights::For(collator), nullptr) << c.locale << " " << c.attribute;
        ucol_close(collator);
    }
}
