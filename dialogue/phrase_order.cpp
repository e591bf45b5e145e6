#include "phrase_order.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "collation.h"
#include "collation_weights.h"
#include "decoding.h"
#include "errors.h"

namespace dialogue {

namespace {

constexpr std::size_t kUnkeyed = static_cast<std::size_t>(-1);

// A line's place in the sort: the first sixteen bytes of its key inline, so that most
// comparisons need no second memory access, and the whole key. A line too long for a
// key has none and is compared by its text. All keys of one load are of one kind: ICU's
// sort keys, or keys of the lines' primary weights, where equal keys still leave the
// secondary weights to compare.
struct SortItem {
    std::uint64_t head;
    std::uint64_t head2;
    const std::uint8_t* key;  // null without one
    std::uint32_t line;
    std::uint32_t keyLength;
};

constexpr std::size_t kHeadBytes = 16;

// Eight bytes of a key from from, most significant first, padded with zeros.
std::uint64_t KeyHead(const std::uint8_t* key, std::size_t length, std::size_t from) {
    std::uint64_t head = 0;
    for (std::size_t i = from; i < from + 8; ++i) head = (head << 8) | (i < length ? key[i] : 0);
    return head;
}

// The primary keys of one file's lines by the weights of their characters. The ranks of
// the weights the file holds are numbered anew from 1, so that most files take one byte
// a character.
class FileWeightKeys {
public:
    // Null unless the weights cover every line of up to maxKeyedUnits.
    static std::unique_ptr<FileWeightKeys> For(std::span<const std::u16string_view> lines,
                                               const CollationWeights& weights,
                                               std::size_t maxKeyedUnits) {
        std::vector<bool> present(weights.Primaries() + 1, false);
        for (const std::u16string_view line : lines) {
            if (line.size() > maxKeyedUnits) continue;
            for (const char16_t c : line) {
                const std::uint16_t primary = weights.Primary(c);
                if (primary == 0) return nullptr;
                present[primary] = true;
            }
        }
        std::vector<std::uint16_t> renumbered(present.size(), 0);
        std::size_t count = 0;
        for (std::size_t p = 1; p < present.size(); ++p)
            if (present[p]) renumbered[p] = static_cast<std::uint16_t>(++count);
        auto keys = std::unique_ptr<FileWeightKeys>(new FileWeightKeys());
        keys->rankBytes_ = count <= 0xFF ? 1 : 2;
        for (std::size_t c = 0; c < keys->rank_.size(); ++c)
            keys->rank_[c] = renumbered[weights.Primary(static_cast<char16_t>(c))];
        return keys;
    }

    std::size_t RankBytes() const { return rankBytes_; }

    void AppendKey(std::u16string_view line, std::vector<std::uint8_t>& out) const {
        std::size_t at = out.size();
        out.resize(at + line.size() * rankBytes_);
        std::uint8_t* key = out.data() + at;
        if (rankBytes_ == 1) {
            for (const char16_t c : line) *key++ = static_cast<std::uint8_t>(rank_[c]);
        } else {
            for (const char16_t c : line) {
                *key++ = static_cast<std::uint8_t>(rank_[c] >> 8);
                *key++ = static_cast<std::uint8_t>(rank_[c]);
            }
        }
    }

private:
    FileWeightKeys() : rank_(0x10000, 0) {}
    std::vector<std::uint16_t> rank_;  // per unit
    std::size_t rankBytes_ = 1;
};

int CompareItems(const SortItem& a, const SortItem& b, std::span<const std::u16string_view> lines,
                 const PhraseCollator& collator, const CollationWeights* weights) {
    if (a.key == nullptr || b.key == nullptr) {
        return collator.Compare(lines[a.line], lines[b.line]);
    }
    if (a.head != b.head) return a.head < b.head ? -1 : 1;
    if (a.head2 != b.head2) return a.head2 < b.head2 ? -1 : 1;
    const std::size_t aLength = a.keyLength;
    const std::size_t bLength = b.keyLength;
    // The heads are equal: so are the keys up to the shorter one or past the heads.
    const std::size_t same = std::min({aLength, bLength, kHeadBytes});
    const int c = std::memcmp(a.key + same, b.key + same, std::min(aLength, bLength) - same);
    if (c != 0) return c;
    if (aLength != bLength) return aLength < bLength ? -1 : 1;
    return weights != nullptr ? weights->CompareSecondary(lines[a.line], lines[b.line]) : 0;
}

// What a load takes beyond its text, per distinct line: the sort item and where its key
// starts, the two index vectors of the order, the phrase list's entry and the line's
// place in it.
constexpr std::size_t kBytesPerLine =
    sizeof(SortItem) + 3 * sizeof(std::size_t) + 32 + sizeof(std::uint32_t);

// The decoded text takes at most two bytes for each byte of the file.
std::u16string TextWithin(std::string_view bytes, std::size_t memoryLimit) {
    if (2 * bytes.size() > memoryLimit) throw OutOfMemoryError();
    return DecodeKnowledgeText(bytes);
}

}  // namespace

PhraseOrder OrderPhrases(std::span<const std::u16string_view> lines, const PhraseCollator& collator,
                         const OrderLimits& limits) {
    const std::size_t n = lines.size();
    std::vector<SortItem> items(n);
    for (std::size_t i = 0; i < n; ++i)
        items[i] = SortItem{0, 0, nullptr, static_cast<std::uint32_t>(i), 0};
    // Either every line is keyed by the weights of its characters, or every line by ICU.
    const CollationWeights* weights = n >= limits.weightsFromLines ? collator.Weights() : nullptr;
    const std::unique_ptr<FileWeightKeys> weightKeys =
        weights != nullptr ? FileWeightKeys::For(lines, *weights, limits.maxKeyedUnits) : nullptr;
    if (weightKeys == nullptr) weights = nullptr;
    std::vector<std::uint8_t> keys;
    std::vector<std::size_t> starts(n, kUnkeyed);
    for (std::size_t i = 0; i < n; ++i) {
        if (lines[i].size() > limits.maxKeyedUnits) continue;
        const std::size_t start = keys.size();
        if (weightKeys != nullptr) {
            weightKeys->AppendKey(lines[i], keys);
        } else {
            collator.AppendSortKey(lines[i], keys);
        }
        if (keys.size() > limits.maxKeyBytes) throw OutOfMemoryError();
        starts[i] = start;
        items[i].keyLength = static_cast<std::uint32_t>(keys.size() - start);
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (starts[i] == kUnkeyed) continue;
        SortItem& item = items[i];
        item.key = keys.data() + starts[i];
        item.head = KeyHead(item.key, item.keyLength, 0);
        item.head2 = KeyHead(item.key, item.keyLength, 8);
    }
    const auto compare = [&](const SortItem& a, const SortItem& b) {
        return CompareItems(a, b, lines, collator, weights);
    };
    // Stable, so that of equal lines the first comes first and is kept.
    std::stable_sort(items.begin(), items.end(),
                     [&](const SortItem& a, const SortItem& b) { return compare(a, b) < 0; });

    PhraseOrder result;
    result.heldFor.resize(n);
    result.held.reserve(n);
    const SortItem* heldItem = nullptr;
    for (const SortItem& item : items) {
        if (heldItem != nullptr && compare(*heldItem, item) == 0) {
            result.heldFor[item.line] = heldItem->line;
        } else {
            heldItem = &item;
            result.held.push_back(item.line);
            result.heldFor[item.line] = item.line;
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
    : text_(TextWithin(bytes, memoryLimit)), distinct_(text_, memoryLimit - 2 * bytes.size()) {
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
