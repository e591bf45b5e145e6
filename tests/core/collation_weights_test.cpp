// The weights of single characters must order exactly as ICU does, or the phrase list
// would differ from inserting its lines one by one. These tests also guard what the table
// takes from ICU: that ucol_next hands out one element per collation element of the
// characters kept, and that ucol_secondaryOrder compares as ICU compares secondary weights.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include <unicode/ucol.h>

#include "collation.h"
#include "collation_weights.h"
#include "default_locale.h"

using namespace dialogue;
using testing_support::DefaultLocale;

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

int CompareByWeights(const CollationWeights& weights, std::u16string_view a,
                     std::u16string_view b) {
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        const int pa = weights.Primary(a[i]);
        const int pb = weights.Primary(b[i]);
        if (pa != pb) return pa < pb ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return weights.CompareSecondary(a, b);
}

// Locales with contractions, prefix mappings, script reordering, letters of their own.
class WeightsUnderLocale : public testing::TestWithParam<const char*> {};

}  // namespace

TEST_P(WeightsUnderLocale, EveryCharacterOfTheTableOrdersAsIcuOrdersIt) {
    DefaultLocale locale(GetParam());
    PhraseCollator collator;
    const CollationWeights* weights = collator.Weights();
    ASSERT_NE(weights, nullptr);
    std::vector<std::u16string> table;
    for (char32_t c = 1; c <= 0xFFFF; ++c)
        if (weights->Primary(static_cast<char16_t>(c)) != 0)
            table.emplace_back(1, static_cast<char16_t>(c));
    // The letters of Russian knowledge files at least, "ё" and "й" among them.
    EXPECT_GT(table.size(), 1000u) << table.size();
    EXPECT_TRUE(weights->Covers(u"аАбёЁйЙиИяЯ09 .,-!?|$«»—")) << GetParam();
    std::stable_sort(table.begin(), table.end(),
                     [&](const auto& a, const auto& b) { return collator.Compare(a, b) < 0; });
    // Both orders are total, so agreeing on every neighbour is agreeing everywhere.
    for (std::size_t i = 1; i < table.size(); ++i) {
        ASSERT_EQ(CompareByWeights(*weights, table[i - 1], table[i]),
                  Sign(collator.Compare(table[i - 1], table[i])))
            << std::hex << static_cast<int>(table[i - 1][0]) << " "
            << static_cast<int>(table[i][0]);
    }
}

TEST_P(WeightsUnderLocale, ShortStringsOrderAsIcuOrdersThem) {
    DefaultLocale locale(GetParam());
    PhraseCollator collator;
    const CollationWeights* weights = collator.Weights();
    ASSERT_NE(weights, nullptr);
    // Letters that differ only in secondary weights, precomposed letters beside their
    // base, the partners of contractions and prefix mappings (l·, aa, ch, katakana with
    // iteration marks), ignorables and marks (which leave their string to ICU). Every
    // string of up to three of them meets every context of two.
    const std::u16string pieces = u"аеёиійьaeézl·chåäøßσςアカヽヾーかゝ­́̈";
    std::vector<std::u16string> strings = {u""};
    for (std::size_t from = 0, length = 0; length < 3; ++length) {
        const std::size_t to = strings.size();
        for (std::size_t i = from; i < to; ++i)
            for (const char16_t c : pieces) strings.push_back(strings[i] + c);
        from = to;
    }
    std::erase_if(strings, [&](const auto& s) { return !weights->Covers(s); });
    EXPECT_GT(strings.size(), 5000u);
    std::stable_sort(strings.begin(), strings.end(),
                     [&](const auto& a, const auto& b) { return collator.Compare(a, b) < 0; });
    for (std::size_t i = 1; i < strings.size(); ++i) {
        ASSERT_EQ(CompareByWeights(*weights, strings[i - 1], strings[i]),
                  Sign(collator.Compare(strings[i - 1], strings[i])))
            << testing::PrintToString(strings[i - 1]) << " " << testing::PrintToString(strings[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, WeightsUnderLocale,
                         testing::Values("ru", "uk", "en_US", "ja", "sv", "da", "sk",
                                         "de@collation=phonebook", "es@collation=traditional"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) {
                                     return !std::isalnum(static_cast<unsigned char>(c));
                                 },
                                 '_');
                             return name;
                         });

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
