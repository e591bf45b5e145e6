#include "collation_weights.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/uset.h>

namespace dialogue {

namespace {

constexpr std::size_t kUnits = 0x10000;
// A character of the table has one element of a primary weight followed by at most this
// many of combining marks (like "ё", which is "е" with a diaeresis).
constexpr std::size_t kMaxMarks = 3;

// The blocks of the scripts knowledge files are written in; other characters leave their
// file to ICU's sort keys.
constexpr char16_t kRepertoire[][2] = {
    {0x0020, 0x007E},  // Basic Latin, printable
    {0x00A0, 0x02AF},  // Latin-1 Supplement, Latin Extended-A and -B, IPA
    {0x0370, 0x03FF},  // Greek
    {0x0400, 0x052F},  // Cyrillic and its supplement
    {0x1E00, 0x1EFF},  // Latin Extended Additional
    {0x2000, 0x206F},  // General Punctuation
    {0x20A0, 0x20CF},  // currency signs
    {0x2100, 0x218F},  // letterlike symbols, number forms
    {0x2190, 0x22FF},  // arrows, mathematical operators
    {0x3040, 0x30FF},  // Hiragana, Katakana
};

UColAttributeValue AttributeOf(const UCollator* collator, UColAttribute attribute) {
    UErrorCode status = U_ZERO_ERROR;
    const UColAttributeValue value = ucol_getAttribute(collator, attribute, &status);
    return U_SUCCESS(status) ? value : UCOL_DEFAULT;
}

bool ComparesByPlainWeights(const UCollator* collator) {
    return ucol_getStrength(collator) == UCOL_SECONDARY &&
           AttributeOf(collator, UCOL_FRENCH_COLLATION) == UCOL_OFF &&
           AttributeOf(collator, UCOL_ALTERNATE_HANDLING) == UCOL_NON_IGNORABLE &&
           AttributeOf(collator, UCOL_CASE_LEVEL) == UCOL_OFF &&
           AttributeOf(collator, UCOL_NUMERIC_COLLATION) == UCOL_OFF;
}

template <typename T>
T Checked(std::size_t value) {
    if (value > static_cast<std::size_t>(std::numeric_limits<T>::max()))
        throw std::overflow_error("collation weights: too many distinct weights");
    return static_cast<T>(value);
}

// The elements ucol_next gives for c alone; more than the table takes make it fail.
std::vector<int32_t> ElementsOf(UCollationElements* iterator, char16_t c) {
    std::vector<int32_t> elements;
    UErrorCode status = U_ZERO_ERROR;
    ucol_setText(iterator, &c, 1, &status);
    while (U_SUCCESS(status) && elements.size() <= kMaxMarks + 1) {
        const int32_t element = ucol_next(iterator, &status);
        if (element == UCOL_NULLORDER) break;
        elements.push_back(element);
    }
    if (U_FAILURE(status)) elements.assign(kMaxMarks + 2, 0);
    return elements;
}

bool IsEmptyAtPrimaryStrength(const UCollator* primary, char16_t c) {
    return ucol_strcoll(primary, &c, 1, nullptr, 0) == UCOL_EQUAL;
}

// The single element of each combining mark that has only a secondary weight, sorted:
// the elements a precomposed letter adds to its base letter's.
std::vector<int32_t> MarkElements(UCollationElements* iterator) {
    std::vector<int32_t> marks;
    for (char16_t c = 0x0300; c <= 0x036F; ++c) {
        const std::vector<int32_t> elements = ElementsOf(iterator, c);
        if (elements.size() == 1 && ucol_primaryOrder(elements[0]) == 0 &&
            ucol_secondaryOrder(elements[0]) != 0)
            marks.push_back(elements[0]);
    }
    std::sort(marks.begin(), marks.end());
    return marks;
}

// A contraction or prefix mapping cannot match within a line that lacks one of its
// characters: where none of them is left out yet, all but the first are, so that letters
// like "l" of "l·" stay in the table. False if ICU cannot say.
bool LeaveOutContractions(const USet* contractions, std::vector<bool>& kept) {
    const int32_t items = uset_getItemCount(contractions);
    for (int32_t i = 0; i < items; ++i) {
        UErrorCode status = U_ZERO_ERROR;
        UChar32 start = 0;
        UChar32 end = 0;
        std::array<UChar, 64> text{};
        const int32_t length = uset_getItem(contractions, i, &start, &end, text.data(),
                                            static_cast<int32_t>(text.size()), &status);
        if (U_FAILURE(status)) return false;
        if (length < 2) continue;
        UChar* const last = text.data() + length;
        if (std::all_of(text.data(), last, [&](UChar u) { return kept[u]; }))
            std::for_each(text.data() + 1, last, [&](UChar u) { kept[u] = false; });
    }
    return true;
}

}  // namespace

CollationWeights::CollationWeights() : primary_(kUnits, 0), secondaries_(kUnits, 0) {}

std::unique_ptr<const CollationWeights> CollationWeights::For(const UCollator* collator) {
    if (collator == nullptr || !ComparesByPlainWeights(collator)) return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UCollator, decltype(&ucol_close)> primary(ucol_clone(collator, &status),
                                                                    &ucol_close);
    const std::unique_ptr<UCollationElements, decltype(&ucol_closeElements)> iterator(
        ucol_openElements(collator, nullptr, 0, &status), &ucol_closeElements);
    const std::unique_ptr<USet, decltype(&uset_close)> contractions(uset_openEmpty(), &uset_close);
    ucol_getContractionsAndExpansions(collator, contractions.get(), nullptr, true, &status);
    if (U_FAILURE(status)) return nullptr;
    ucol_setStrength(primary.get(), UCOL_PRIMARY);

    const std::vector<int32_t> marks = MarkElements(iterator.get());
    const auto isMark = [&](int32_t e) {
        return std::binary_search(marks.begin(), marks.end(), e);
    };

    // Each class left out breaks the rule that a line's weights are its characters' own
    // one after the other:
    // - a character that combines with what precedes it (lccc != 0) takes part in
    //   discontiguous contractions and canonical reordering, and Hangul jamo and syllables
    //   are weighed as syllables;
    // - a primary-ignorable character has no primary weight to rank, and its secondary
    //   weight may attach to its neighbour's;
    // - a character of several primary weights, or of elements other than one primary one
    //   and combining marks' ones, has no single place to rank (ucol_next hands out an
    //   element too long for 32 bits as two, and the second never equals a mark's);
    // - a contraction or a prefix mapping (below) weighs characters by their neighbours.
    std::vector<bool> kept(kUnits, false);
    std::vector<char16_t> table;
    std::vector<std::vector<int32_t>> elementsOf(kUnits);
    for (const auto& block : kRepertoire) {
        for (char32_t c = block[0]; c <= block[1]; ++c) {
            const auto unit = static_cast<char16_t>(c);
            if (u_getIntPropertyValue(c, UCHAR_LEAD_CANONICAL_COMBINING_CLASS) != 0 ||
                u_getIntPropertyValue(c, UCHAR_HANGUL_SYLLABLE_TYPE) != U_HST_NOT_APPLICABLE ||
                IsEmptyAtPrimaryStrength(primary.get(), unit))
                continue;
            std::vector<int32_t> elements = ElementsOf(iterator.get(), unit);
            if (elements.empty() || elements.size() > kMaxMarks + 1 ||
                ucol_primaryOrder(elements[0]) == 0 ||
                !std::all_of(elements.begin() + 1, elements.end(), isMark))
                continue;
            kept[c] = true;
            elementsOf[c] = std::move(elements);
        }
    }
    if (!LeaveOutContractions(contractions.get(), kept)) return nullptr;
    for (std::size_t c = 0; c < kUnits; ++c)
        if (kept[c]) table.push_back(static_cast<char16_t>(c));

    std::unique_ptr<CollationWeights> weights(new CollationWeights());
    // Primary weights are ranked by ICU's own comparison at primary strength, which
    // applies any script reordering; ranks start at 1, as 0 would read as a key's end.
    const auto compare = [&](char16_t a, char16_t b) {
        return ucol_strcoll(primary.get(), &a, 1, &b, 1);
    };
    std::sort(table.begin(), table.end(),
              [&](char16_t a, char16_t b) { return compare(a, b) < 0; });
    std::size_t rank = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (i == 0 || compare(table[i - 1], table[i]) != 0) ++rank;
        weights->primary_[table[i]] = Checked<std::uint16_t>(rank);
    }
    weights->primaries_ = rank;
    // Secondary weights are not reordered: ICU compares them as ucol_secondaryOrder gives
    // them, which is the whole weight for an element that fits in one.
    std::vector<int32_t> secondaries;
    for (const char16_t c : table)
        for (const int32_t e : elementsOf[c]) secondaries.push_back(ucol_secondaryOrder(e));
    std::sort(secondaries.begin(), secondaries.end());
    secondaries.erase(std::unique(secondaries.begin(), secondaries.end()), secondaries.end());
    for (const char16_t c : table) {
        std::uint32_t packed = 0;
        int shift = 0;
        for (const int32_t e : elementsOf[c]) {
            const auto at =
                std::lower_bound(secondaries.begin(), secondaries.end(), ucol_secondaryOrder(e));
            packed |= std::uint32_t{Checked<std::uint8_t>(at - secondaries.begin() + 1)} << shift;
            shift += 8;
        }
        weights->secondaries_[c] = packed;
    }
    return weights;
}

bool CollationWeights::Covers(std::u16string_view line) const {
    return std::all_of(line.begin(), line.end(), [&](char16_t c) { return primary_[c] != 0; });
}

int CollationWeights::CompareSecondary(std::u16string_view a, std::u16string_view b) const {
    // Walks the secondary weights of a line one by one; 0 past its end.
    struct Walk {
        const std::vector<std::uint32_t>& secondaries;
        std::u16string_view line;
        std::size_t at = 0;
        std::uint32_t rest = 0;
        std::uint32_t Next() {
            while (rest == 0 && at < line.size()) rest = secondaries[line[at++]];
            const std::uint32_t next = rest & 0xFF;
            rest >>= 8;
            return next;
        }
    };
    Walk left{secondaries_, a};
    Walk right{secondaries_, b};
    for (;;) {
        const std::uint32_t l = left.Next();
        const std::uint32_t r = right.Next();
        if (l != r) return l < r ? -1 : 1;
        if (l == 0) return 0;
    }
}

}  // namespace dialogue
