#include "phrase_order.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "collation.h"
#include "collation_weights.h"
#include "decoding.h"
#include "errors.h"
#include "key_sort.h"

namespace dialogue {

namespace {

// The primary keys of one file's lines by the weights of their characters. The ranks of
// the weights the file holds are numbered anew from 1, so that most files take one byte
// a character.
class FileWeightKeys {
public:
    // Null unless the weights cover every line of up to maxKeyedUnits.
    static std::unique_ptr<FileWeightKeys> For(std::span<const std::u16string_view> lines,
                                               const CollationWeights& weights,
                                               std::size_t maxKeyedUnits) {
        // Each unit marks its primary weight, without a branch; 0 marks a unit the weights
        // do not cover, which ends the pass at the end of its line. (Marks wider than a byte
        // tell the compiler that they cannot overwrite the table's own address.)
        std::vector<std::uint16_t> present(weights.Primaries() + 1, 0);
        std::uint16_t* const marks = present.data();
        for (const std::u16string_view line : lines) {
            if (line.size() > maxKeyedUnits) continue;
            for (const char16_t c : line) marks[weights.Primary(c)] = 1;
            if (marks[0] != 0) return nullptr;
        }
        std::vector<std::uint16_t> renumbered(present.size(), 0);
        std::size_t count = 0;
        for (std::size_t p = 1; p < present.size(); ++p)
            if (present[p] != 0) renumbered[p] = static_cast<std::uint16_t>(++count);
        auto keys = std::unique_ptr<FileWeightKeys>(new FileWeightKeys());
        keys->rankBytes_ = count <= 0xFF ? 1 : 2;
        if (keys->rankBytes_ == 1) {
            keys->byteRank_.resize(kUnits);
            for (std::size_t c = 0; c < kUnits; ++c)
                keys->byteRank_[c] = static_cast<std::uint8_t>(
                    renumbered[weights.Primary(static_cast<char16_t>(c))]);
        } else {
            keys->rank_.resize(kUnits);
            for (std::size_t c = 0; c < kUnits; ++c)
                keys->rank_[c] = renumbered[weights.Primary(static_cast<char16_t>(c))];
        }
        return keys;
    }

    std::size_t RankBytes() const { return rankBytes_; }

    // Writes line's key, RankBytes() bytes a unit, at to.
    void WriteKey(std::u16string_view line, std::uint8_t* to) const {
        if (rankBytes_ == 1) {
            // Read through locals: a byte written could otherwise be the vector's address.
            const std::uint8_t* const rank = byteRank_.data();
            for (const char16_t c : line) *to++ = rank[c];
        } else {
            const std::uint16_t* const rank = rank_.data();
            for (const char16_t c : line) {
                *to++ = static_cast<std::uint8_t>(rank[c] >> 8);
                *to++ = static_cast<std::uint8_t>(rank[c]);
            }
        }
    }

private:
    static constexpr std::size_t kUnits = 0x10000;
    FileWeightKeys() = default;
    std::vector<std::uint8_t> byteRank_;  // per unit, where ranks take one byte
    std::vector<std::uint16_t> rank_;     // per unit, where they take two
    std::size_t rankBytes_ = 1;
};

// What a load takes beyond its text, per distinct line: the sorted line and its spare
// place while sorting, the two index vectors of the order, the phrase list's entry and the
// entry's question length.
constexpr std::size_t kBytesPerLine =
    2 * sizeof(KeyedLine) + 3 * sizeof(std::size_t) + 32 + sizeof(std::uint32_t);

// The decoded text takes at most two bytes for each byte of the file; the room it does
// not fill is given back at once, without a copy.
TextBuffer TextWithin(std::string_view bytes, std::size_t memoryLimit) {
    if (2 * bytes.size() > memoryLimit) throw OutOfMemoryError();
    TextBuffer text;
    text.Reserve(DecodedUnitsAtMost(bytes));
    text.Extend(DecodeKnowledgeTextInto(bytes, text.Data()));
    text.ShrinkToFit();
    return text;
}

// Lines too long for a key, in list order among themselves, merged into the keyed ones by
// the collator; of equal lines the earlier in the file comes first, as everywhere.
ScratchVector<KeyedLine> MergeUnkeyed(ScratchVector<KeyedLine> keyed,
                                      ScratchVector<KeyedLine> unkeyed,
                                      std::span<const std::u16string_view> lines,
                                      const PhraseCollator& collator) {
    const auto before = [&](const KeyedLine& a, const KeyedLine& b) {
        const int c = collator.Compare(lines[a.line], lines[b.line]);
        return c < 0 || (c == 0 && a.line < b.line);
    };
    std::sort(unkeyed.begin(), unkeyed.end(), before);
    ScratchVector<KeyedLine> merged(keyed.size() + unkeyed.size());
    std::merge(keyed.begin(), keyed.end(), unkeyed.begin(), unkeyed.end(), merged.begin(), before);
    return merged;
}

}  // namespace

PhraseOrder OrderPhrases(std::span<const std::u16string_view> lines, const PhraseCollator& collator,
                         const OrderLimits& limits) {
    const std::size_t n = lines.size();
    // Either every line is keyed by the weights of its characters, or every line by ICU.
    const CollationWeights* weights = n >= limits.weightsFromLines ? collator.Weights() : nullptr;
    const std::unique_ptr<FileWeightKeys> weightKeys =
        weights != nullptr ? FileWeightKeys::For(lines, *weights, limits.maxKeyedUnits) : nullptr;
    if (weightKeys == nullptr) weights = nullptr;

    ScratchVector<std::uint8_t> keys;
    if (weightKeys != nullptr) {
        // Weight keys take a known size, so they go straight into one buffer of it.
        std::size_t units = 0;
        for (const std::u16string_view line : lines)
            if (line.size() <= limits.maxKeyedUnits) units += line.size();
        if (units * weightKeys->RankBytes() > limits.maxKeyBytes) throw OutOfMemoryError();
        keys.resize(units * weightKeys->RankBytes());
    }
    std::size_t keysEnd = 0;
    ScratchVector<KeyedLine> keyed;
    keyed.reserve(n);
    ScratchVector<KeyedLine> unkeyed;
    for (std::size_t i = 0; i < n; ++i) {
        const auto line = static_cast<std::uint32_t>(i);
        if (lines[i].size() > limits.maxKeyedUnits) {
            unkeyed.push_back({nullptr, 0, line});
            continue;
        }
        const std::size_t start = keysEnd;
        if (weightKeys != nullptr) {
            weightKeys->WriteKey(lines[i], keys.data() + start);
            keysEnd += lines[i].size() * weightKeys->RankBytes();
        } else {
            collator.AppendSortKey(lines[i], keys);
            if (keys.size() > limits.maxKeyBytes) throw OutOfMemoryError();
            keysEnd = keys.size();
        }
        keyed.push_back({nullptr, static_cast<std::uint32_t>(keysEnd - start), line});
    }
    // The keys stand one after another in the order of the keyed lines.
    const std::uint8_t* key = keys.data();
    for (KeyedLine& k : keyed) {
        k.key = key;
        key += k.length;
    }

    // Stable, so that of equal lines the first comes first and is kept. Lines of equal
    // primary keys still differ by their secondary weights.
    TieLess bySecondaries;
    if (weights != nullptr) {
        bySecondaries = [&](const KeyedLine& a, const KeyedLine& b) {
            return weights->CompareSecondary(lines[a.line], lines[b.line]) < 0;
        };
    }
    SortByKeys(keyed, bySecondaries);
    if (!unkeyed.empty())
        keyed = MergeUnkeyed(std::move(keyed), std::move(unkeyed), lines, collator);

    const auto same = [&](const KeyedLine& a, const KeyedLine& b) {
        if (a.key == nullptr || b.key == nullptr)
            return collator.Compare(lines[a.line], lines[b.line]) == 0;
        return SameKey(a, b) &&
               (weights == nullptr || weights->CompareSecondary(lines[a.line], lines[b.line]) == 0);
    };
    PhraseOrder result;
    result.heldFor.resize(n);
    result.held.reserve(n);
    const KeyedLine* heldLine = nullptr;
    // The sorted lines' keys and places lie all over their buffers: fetched well ahead.
    constexpr std::size_t kAhead = 16;
    for (std::size_t k = 0; k < keyed.size(); ++k) {
        if (k + kAhead < keyed.size()) {
            __builtin_prefetch(keyed[k + kAhead].key);
            __builtin_prefetch(&result.heldFor[keyed[k + kAhead].line], 1);
        }
        const KeyedLine& sorted = keyed[k];
        if (heldLine != nullptr && same(*heldLine, sorted)) {
            result.heldFor[sorted.line] = heldLine->line;
        } else {
            heldLine = &sorted;
            result.held.push_back(sorted.line);
            result.heldFor[sorted.line] = sorted.line;
        }
    }
    return result;
}

PhraseOrder OrderPhrases(const std::vector<std::u16string>& lines, const PhraseCollator& collator,
                         const OrderLimits& limits) {
    const std::vector<std::u16string_view> views(lines.begin(), lines.end());
    return OrderPhrases(views, collator, limits);
}

OrderedFile::OrderedFile(std::string_view bytes, const PhraseCollator& collator,
                         std::size_t memoryLimit)
    : text_(TextWithin(bytes, memoryLimit)),
      distinct_(text_.View(), memoryLimit - 2 * bytes.size()) {
    // Measured before the memory is touched: Linux hands out memory it does not have and
    // kills the process when it is used.
    std::size_t used = 2 * bytes.size() + distinct_.MemoryBytes();
    const std::size_t needed =
        Lines().size() * kBytesPerLine + distinct_.Units() * 2 * sizeof(char16_t);
    if (used > memoryLimit || needed > memoryLimit - used) throw OutOfMemoryError();
    OrderLimits limits;
    limits.maxKeyBytes = memoryLimit - used - needed;
    order_ = OrderPhrases(Lines(), collator, limits);
}

}  // namespace dialogue
