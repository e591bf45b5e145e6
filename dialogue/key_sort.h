#pragma once
// Sorts lines by byte keys, most significant byte first. Each pass distributes a group of
// lines by one byte of their keys, so a byte shared by many keys is read once per key
// rather than once per comparison, as a comparison sort would.
#include <cstdint>
#include <functional>
#include <span>

namespace dialogue {

struct KeyedLine {
    const std::uint8_t* key;
    std::uint32_t length;
    std::uint32_t line;
};

// Stable: lines are ordered by their keys (bytes compared unsigned, a key before every
// longer key it begins), lines of equal keys by tieLess where one is given, and otherwise
// kept in the order they come in.
using TieLess = std::function<bool(const KeyedLine&, const KeyedLine&)>;
void SortByKeys(std::span<KeyedLine> lines, const TieLess& tieLess = {});

// Whether two lines have equal keys.
bool SameKey(const KeyedLine& a, const KeyedLine& b);

}  // namespace dialogue
