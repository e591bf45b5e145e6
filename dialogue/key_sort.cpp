#include "key_sort.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "scratch_vector.h"

namespace dialogue {

namespace {

// Smaller groups are sorted by comparing their keys: a pass over 257 buckets would cost
// more than the comparisons.
constexpr std::size_t kCompareBelow = 24;

// The bucket of a line at depth: 0 where its key has ended, else the byte plus one.
std::size_t BucketAt(const KeyedLine& line, std::size_t depth) {
    return depth < line.length ? std::size_t{line.key[depth]} + 1 : 0;
}

// The first place from from on where two keys differ, or limit (at most either length).
// Eight bytes are compared at a time: the lowest differing bit of two little-endian words
// lies in their first differing byte.
std::size_t Mismatch(const KeyedLine& a, const KeyedLine& b, std::size_t from, std::size_t limit) {
    if constexpr (std::endian::native == std::endian::little) {
        for (; from + sizeof(std::uint64_t) <= limit; from += sizeof(std::uint64_t)) {
            std::uint64_t x = 0;
            std::uint64_t y = 0;
            std::memcpy(&x, a.key + from, sizeof x);
            std::memcpy(&y, b.key + from, sizeof y);
            if (x != y) return from + static_cast<std::size_t>(std::countr_zero(x ^ y)) / 8;
        }
    }
    while (from < limit && a.key[from] == b.key[from]) ++from;
    return from;
}

// Compares two keys known to be equal before depth. Keys that far alike mostly part within
// a few words: a loop of its own finds them sooner than a call to memcmp.
int CompareFrom(const KeyedLine& a, const KeyedLine& b, std::size_t depth) {
    const std::size_t at = Mismatch(a, b, depth, std::min(a.length, b.length));
    if (at < a.length && at < b.length) return a.key[at] < b.key[at] ? -1 : 1;
    return (a.length > b.length) - (a.length < b.length);
}

void InsertionSort(KeyedLine* first, std::size_t count, std::size_t depth, const TieLess& tieLess) {
    for (std::size_t i = 1; i < count; ++i) {
        const KeyedLine moving = first[i];
        std::size_t j = i;
        // Moves past strictly greater lines only, which keeps equal ones in order.
        while (j > 0) {
            const int c = CompareFrom(moving, first[j - 1], depth);
            if (c > 0 || (c == 0 && !(tieLess && tieLess(moving, first[j - 1])))) break;
            first[j] = first[j - 1];
            --j;
        }
        first[j] = moving;
    }
}

void SortTies(KeyedLine* first, std::size_t count, const TieLess& tieLess) {
    if (tieLess && count > 1) std::stable_sort(first, first + count, tieLess);
}

}  // namespace

bool SameKey(const KeyedLine& a, const KeyedLine& b) {
    return a.length == b.length && std::memcmp(a.key, b.key, a.length) == 0;
}

void SortByKeys(std::span<KeyedLine> lines, const TieLess& tieLess) {
    struct Group {
        std::size_t begin;
        std::size_t count;
        std::size_t depth;
    };
    // Groups wait on a stack of their own rather than in recursion, which a key of
    // thousands of equal bytes would take as deep.
    std::vector<Group> pending{{0, lines.size(), 0}};
    ScratchVector<KeyedLine> spare(lines.size());
    // Each line's bucket, read once for counting and used again for distributing.
    ScratchVector<std::uint16_t> buckets(lines.size());
    std::array<std::size_t, 257> counts{};
    while (!pending.empty()) {
        Group group = pending.back();
        pending.pop_back();
        KeyedLine* const first = lines.data() + group.begin;
        if (group.count < kCompareBelow) {
            InsertionSort(first, group.count, group.depth, tieLess);
            continue;
        }
        // Keys often begin alike (the same first words): where the group's keys part is
        // found first, in one pass that mostly ends at its second line, rather than in a
        // counting pass for every byte they share.
        std::size_t common = first[0].length;
        for (std::size_t i = 1; i < group.count && common > group.depth; ++i)
            common = Mismatch(first[0], first[i], group.depth,
                              std::min<std::size_t>(common, first[i].length));
        group.depth = common;
        counts.fill(0);
        for (std::size_t i = 0; i < group.count; ++i) {
            const std::size_t bucket = BucketAt(first[i], group.depth);
            buckets[i] = static_cast<std::uint16_t>(bucket);
            ++counts[bucket];
        }
        if (counts[0] == group.count) {
            // Every key ends here: the lines are equal.
            SortTies(first, group.count, tieLess);
            continue;
        }
        std::array<std::size_t, 257> starts{};
        for (std::size_t b = 1; b < starts.size(); ++b) starts[b] = starts[b - 1] + counts[b - 1];
        KeyedLine* const into = spare.data();
        std::array<std::size_t, 257> next = starts;
        for (std::size_t i = 0; i < group.count; ++i) into[next[buckets[i]]++] = first[i];
        std::copy(into, into + group.count, first);
        SortTies(first, counts[0], tieLess);
        for (std::size_t b = 1; b < counts.size(); ++b)
            if (counts[b] > 1)
                pending.push_back({group.begin + starts[b], counts[b], group.depth + 1});
    }
}

}  // namespace dialogue
