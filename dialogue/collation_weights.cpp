#include "collation_weights.h"

#include <algorithm>
#include <numeric>

#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/unorm2.h>
#include <unicode/uset.h>
#include <unicode/utf16.h>

namespace dialogue {

namespace {

constexpr std::size_t kUnits = 0x10000;
// More weights than this for one character are left to ICU: such characters are rare,
// and their keys would grow fast.
constexpr std::size_t kMaxPrimaries = 8;
constexpr std::size_t kMaxSecondaries = 16;

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

bool CombinesWithWhatPrecedes(UChar32 c) {
    return u_getIntPropertyValue(c, UCHAR_LEAD_CANONICAL_COMBINING_CLASS) != 0 ||
           u_getIntPropertyValue(c, UCHAR_HANGUL_SYLLABLE_TYPE) != U_HST_NOT_APPLICABLE;
}

// The characters left to ICU so that no contraction or prefix mapping can match within a
// covered line: of each that could (where no character after the first combines with
// what precedes it; marks never qualify anyway), its characters after the first where
// none of them is a letter or digit, like the middle dot of "l·", else its first, like
// the noncharacter that starts the index mappings or the Thai vowels written first.
// Null if ICU cannot say.
USet* CharactersInReachableContractions(const UCollator* collator) {
    UErrorCode status = U_ZERO_ERROR;
    USet* contractions = uset_openEmpty();
    ucol_getContractionsAndExpansions(collator, contractions, nullptr, true, &status);
    USet* excluded = uset_openEmpty();
    const int32_t count = uset_getItemCount(contractions);
    for (int32_t i = 0; U_SUCCESS(status) && i < count; ++i) {
        UChar32 start = 0;
        UChar32 end = 0;
        UChar text[256];
        const int32_t length = uset_getItem(contractions, i, &start, &end, text, 256, &status);
        if (U_FAILURE(status) || length < 2) continue;
        bool reachable = true;
        bool lettersFollow = false;
        for (int32_t at = 1; at < length && reachable; ++at) {
            reachable = !U16_IS_SURROGATE(text[at]) && !CombinesWithWhatPrecedes(text[at]);
            lettersFollow = lettersFollow || u_isalnum(text[at]);
        }
        if (!reachable) continue;
        if (lettersFollow) {
            uset_add(excluded, text[0]);
        } else {
            for (int32_t at = 1; at < length; ++at) uset_add(excluded, text[at]);
        }
    }
    uset_close(contractions);
    if (U_FAILURE(status)) {
        uset_close(excluded);
        return nullptr;
    }
    return excluded;
}

// The collation elements of one character: ICU hands out each 64-bit element as two
// 32-bit halves, the second marked as a continuation and present only where needed.
struct Elements {
    std::vector<std::uint32_t> primaries;    // unordered, non-zero
    std::vector<std::uint16_t> secondaries;  // non-zero
};

Elements ElementsOf(UCollationElements* iterator, char16_t c) {
    Elements out;
    UErrorCode status = U_ZERO_ERROR;
    ucol_setText(iterator, &c, 1, &status);
    std::uint32_t primary = 0;
    std::uint32_t secondary = 0;
    bool pending = false;
    const auto flush = [&] {
        if (pending && primary != 0) out.primaries.push_back(primary);
        if (pending && secondary != 0)
            out.secondaries.push_back(static_cast<std::uint16_t>(secondary));
        pending = false;
    };
    for (;;) {
        const int32_t element = ucol_next(iterator, &status);
        if (U_FAILURE(status) || element == UCOL_NULLORDER) break;
        const auto half = static_cast<std::uint32_t>(element);
        if (pending && (half & 0xC0) == 0xC0) {
            primary |= half >> 16;
            secondary |= (half >> 8) & 0xFF;
            continue;
        }
        flush();
        primary = half & 0xFFFF0000;
        secondary = half & 0xFF00;
        pending = true;
    }
    flush();
    if (U_FAILURE(status)) out.primaries.assign(kMaxPrimaries + 1, 0);  // never covered
    return out;
}

}  // namespace

std::unique_ptr<CollationWeights> CollationWeights::For(const UCollator* collator) {
    if (collator == nullptr || !ComparesByPlainWeights(collator)) return nullptr;
    std::unique_ptr<CollationWeights> weights(new CollationWeights(collator));
    UErrorCode status = U_ZERO_ERROR;
    weights->elements_ = ucol_openElements(collator, nullptr, 0, &status);
    weights->inContractions_ = CharactersInReachableContractions(collator);
    if (U_FAILURE(status) || weights->elements_ == nullptr || weights->inContractions_ == nullptr)
        return nullptr;
    return weights;
}

CollationWeights::CollationWeights(const UCollator* collator)
    : collator_(collator), units_(kUnits), singleRank_(kUnits, 0) {}

CollationWeights::~CollationWeights() {
    if (elements_ != nullptr) ucol_closeElements(elements_);
    if (inContractions_ != nullptr) uset_close(inContractions_);
}

void CollationWeights::LearnOrderedPrimary(char16_t c, std::uint32_t unordered) {
    std::uint8_t key[64];
    const int32_t length = ucol_getSortKey(collator_, &c, 1, key, sizeof key);
    if (length <= 0 || length > static_cast<int32_t>(sizeof key)) return;
    // The key starts with the primary weight's bytes, up to the level separator 01.
    std::uint32_t ordered = 0;
    int32_t bytes = 0;
    while (bytes < length && key[bytes] > 1) {
        if (bytes == 4) return;
        ordered |= static_cast<std::uint32_t>(key[bytes]) << (24 - 8 * bytes);
        ++bytes;
    }
    // Reordering scripts moves lead bytes only: anything else means the elements were
    // misread, and the character is better left to ICU.
    if (bytes == 0 || (ordered & 0x00FFFFFF) != (unordered & 0x00FFFFFF)) return;
    ordered_.emplace(unordered, ordered);
}

std::uint32_t CollationWeights::IdOf(std::uint32_t ordered) {
    const auto [place, added] =
        idOfPrimary_.emplace(ordered, static_cast<std::uint32_t>(primaryOfId_.size()));
    if (added) primaryOfId_.push_back(ordered);
    return place->second;
}

void CollationWeights::Learn(char16_t c) {
    Unit& unit = units_[c];
    unit.state = kLeftToIcu;
    if (U16_IS_SURROGATE(c) || c == 0xFFFE || c == 0xFFFF) return;
    const Elements elements = ElementsOf(elements_, c);
    if (elements.primaries.size() > kMaxPrimaries || elements.secondaries.size() > kMaxSecondaries)
        return;
    if (elements.primaries.size() == 1) LearnOrderedPrimary(c, elements.primaries.front());

    if (CombinesWithWhatPrecedes(c) || uset_contains(inContractions_, c)) return;
    // An expansion's weights are mostly those of the characters it expands to, which
    // show how the collator orders them.
    const auto allKnown = [&] {
        return std::all_of(elements.primaries.begin(), elements.primaries.end(),
                           [&](std::uint32_t p) { return KnowsOrder(p); });
    };
    if (!allKnown()) {
        UErrorCode status = U_ZERO_ERROR;
        const UNormalizer2* nfkd = unorm2_getNFKDInstance(&status);
        UChar decomposed[32];
        const int32_t length =
            U_SUCCESS(status) ? unorm2_getDecomposition(nfkd, c, decomposed, 32, &status) : 0;
        for (int32_t i = 0; U_SUCCESS(status) && i < length; ++i) {
            const char16_t part = decomposed[i];
            if (part != c && units_[part].state == kUnknown) Learn(part);
        }
        if (!allKnown()) return;
    }

    unit.first = static_cast<std::uint32_t>(primaryIds_.size());
    unit.firstSecondary = static_cast<std::uint32_t>(secondaries_.size());
    unit.primaries = static_cast<std::uint8_t>(elements.primaries.size());
    unit.secondaries = static_cast<std::uint8_t>(elements.secondaries.size());
    for (const std::uint32_t p : elements.primaries) primaryIds_.push_back(IdOf(ordered_.at(p)));
    secondaries_.insert(secondaries_.end(), elements.secondaries.begin(),
                        elements.secondaries.end());
    unit.state = kCovered;
}

bool CollationWeights::Covers(std::u16string_view line) {
    for (const char16_t c : line) {
        std::uint8_t state = units_[c].state;
        if (state == kUnknown) {
            Learn(c);
            state = units_[c].state;
        }
        if (state != kCovered) return false;
    }
    return true;
}

void CollationWeights::Rank() {
    if (rankOfId_.size() == primaryOfId_.size()) return;
    std::vector<std::uint32_t> ids(primaryOfId_.size());
    std::iota(ids.begin(), ids.end(), 0);
    std::sort(ids.begin(), ids.end(),
              [&](std::uint32_t a, std::uint32_t b) { return primaryOfId_[a] < primaryOfId_[b]; });
    rankOfId_.assign(ids.size(), 0);
    // Rank 0 is never given: it would read as the end of a shorter key.
    for (std::size_t r = 0; r < ids.size(); ++r)
        rankOfId_[ids[r]] = static_cast<std::uint16_t>(r + 1);
    rankBytes_ = ids.size() < 0x100 ? 1 : 2;
    for (std::size_t c = 0; c < kUnits; ++c) {
        const Unit& unit = units_[c];
        singleRank_[c] =
            unit.state == kCovered && unit.primaries == 1 ? rankOfId_[primaryIds_[unit.first]] : 0;
    }
}

void CollationWeights::AppendPrimaryKey(std::u16string_view line,
                                        std::vector<std::uint8_t>& out) const {
    // Room for one weight per unit, the common case; a unit of several weights makes more.
    std::size_t size = out.size();
    out.resize(size + line.size() * rankBytes_);
    const auto append = [&](std::uint16_t rank) {
        if (size + rankBytes_ > out.size()) out.resize(2 * out.size() + rankBytes_);
        if (rankBytes_ == 2) out[size++] = static_cast<std::uint8_t>(rank >> 8);
        out[size++] = static_cast<std::uint8_t>(rank);
    };
    if (rankBytes_ == 1) {
        std::uint8_t* at = out.data() + size;
        std::size_t done = 0;
        // Units of one weight each go straight in; the rest go one by one below.
        for (; done < line.size(); ++done) {
            const std::uint16_t rank = singleRank_[line[done]];
            if (rank == 0) break;
            *at++ = static_cast<std::uint8_t>(rank);
        }
        size += done;
        line.remove_prefix(done);
    }
    for (const char16_t c : line) {
        if (const std::uint16_t rank = singleRank_[c]; rank != 0) {
            append(rank);
            continue;
        }
        const Unit& unit = units_[c];
        for (std::uint32_t k = 0; k < unit.primaries; ++k)
            append(rankOfId_[primaryIds_[unit.first + k]]);
    }
    out.resize(size);
}

int CollationWeights::CompareSecondary(std::u16string_view a, std::u16string_view b) const {
    // Walks the secondary weights of a line one by one; 0 past its end.
    struct Walk {
        const CollationWeights& weights;
        std::u16string_view line;
        std::size_t at = 0;
        std::uint32_t k = 0;
        std::uint16_t Next() {
            while (at < line.size()) {
                const Unit& unit = weights.units_[line[at]];
                if (k < unit.secondaries) return weights.secondaries_[unit.firstSecondary + k++];
                ++at;
                k = 0;
            }
            return 0;
        }
    };
    Walk left{*this, a};
    Walk right{*this, b};
    for (;;) {
        const std::uint16_t l = left.Next();
        const std::uint16_t r = right.Next();
        if (l != r) return l < r ? -1 : 1;
        if (l == 0) return 0;
    }
}

}  // namespace dialogue
