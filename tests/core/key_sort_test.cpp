// Sorting by byte keys against a plain stable sort of the same keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "key_sort.h"

using namespace dialogue;

namespace {

struct Keys {
    std::vector<std::vector<std::uint8_t>> bytes;
    std::vector<std::uint32_t> tieRank;  // what orders lines of equal keys, per line
};

std::vector<KeyedLine> LinesOf(const Keys& keys) {
    std::vector<KeyedLine> lines;
    lines.reserve(keys.bytes.size());
    for (std::size_t i = 0; i < keys.bytes.size(); ++i)
        lines.push_back({keys.bytes[i].data(), static_cast<std::uint32_t>(keys.bytes[i].size()),
                         static_cast<std::uint32_t>(i)});
    return lines;
}

std::vector<std::uint32_t> Order(const std::vector<KeyedLine>& lines) {
    std::vector<std::uint32_t> order;
    order.reserve(lines.size());
    for (const KeyedLine& line : lines) order.push_back(line.line);
    return order;
}

struct Case {
    const char* name;
    std::size_t count;
    std::vector<std::uint8_t> alphabet;  // bytes the keys are made of
    std::size_t sharedPrefix;            // bytes every key starts with
    std::size_t longestRest;
    std::uint32_t tieRanks;  // 0: no tie order
};

Keys Generate(const Case& c, unsigned seed) {
    std::mt19937 random(seed);
    Keys keys;
    for (std::size_t i = 0; i < c.count; ++i) {
        std::vector<std::uint8_t> key(c.sharedPrefix, 0x41);
        const std::size_t rest = random() % (c.longestRest + 1);
        for (std::size_t k = 0; k < rest; ++k)
            key.push_back(c.alphabet[random() % c.alphabet.size()]);
        keys.bytes.push_back(std::move(key));
        keys.tieRank.push_back(c.tieRanks == 0 ? 0
                                               : static_cast<std::uint32_t>(random() % c.tieRanks));
    }
    return keys;
}

TEST(SortByKeys, GivesTheOrderOfAStableSortOfTheKeys) {
    const std::vector<Case> cases = {
        {"empty", 0, {1}, 0, 0, 0},
        {"one", 1, {1}, 0, 3, 0},
        {"fewer than a pass takes", 20, {0, 1, 255}, 0, 4, 0},
        // Small alphabets make many equal keys and keys that begin others.
        {"many equal and prefix keys", 3000, {0, 255}, 0, 5, 0},
        {"empty keys among others", 500, {0x80}, 0, 2, 0},
        {"every byte value", 5000, {}, 0, 12, 0},
        {"a long shared prefix", 400, {7, 8}, 3000, 6, 0},
        // Keys of two bytes that differ in one bit part after a dozen bytes alike, at every
        // place within the words they are compared by.
        {"keys that part after many bytes alike", 4000, {0x10, 0x11}, 5, 40, 0},
        {"equal keys ordered by the tie", 3000, {3, 4}, 2, 3, 5},
        {"keys too deep to recurse into", 60, {9}, 20000, 2, 3},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        if (c.alphabet.empty())
            for (int b = 0; b < 256; ++b) c.alphabet.push_back(static_cast<std::uint8_t>(b));
        const Keys keys = Generate(c, 42);
        const auto tieLess = [&](const KeyedLine& a, const KeyedLine& b) {
            return keys.tieRank[a.line] < keys.tieRank[b.line];
        };
        const auto expectedLess = [&](const KeyedLine& a, const KeyedLine& b) {
            const auto& x = keys.bytes[a.line];
            const auto& y = keys.bytes[b.line];
            if (x != y) return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end());
            return tieLess(a, b);
        };
        std::vector<KeyedLine> expected = LinesOf(keys);
        std::stable_sort(expected.begin(), expected.end(), expectedLess);
        std::vector<KeyedLine> sorted = LinesOf(keys);
        SortByKeys(sorted, c.tieRanks == 0 ? TieLess{} : TieLess{tieLess});
        EXPECT_EQ(Order(sorted), Order(expected));
    }
}

TEST(SortByKeys, SameKeyComparesWholeKeys) {
    const std::vector<std::uint8_t> abc = {1, 2, 3};
    const std::vector<std::uint8_t> abd = {1, 2, 4};
    const KeyedLine a{abc.data(), 3, 0};
    EXPECT_TRUE(SameKey(a, KeyedLine{abc.data(), 3, 1}));
    EXPECT_FALSE(SameKey(a, KeyedLine{abd.data(), 3, 1}));
    EXPECT_FALSE(SameKey(a, KeyedLine{abc.data(), 2, 1}));
}

}  // namespace
