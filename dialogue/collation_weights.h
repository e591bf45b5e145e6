#pragma once
// The collation weights of single characters, so that a large file can be ordered without
// asking ICU for the sort key of every line.
//
// At secondary strength ICU compares two strings by the sequences of their primary
// weights and, where those are equal, by the sequences of their secondary weights. For a
// line of characters whose collation elements do not depend on their neighbours, those
// sequences are the concatenation of the characters' own. The table holds such characters
// of the scripts knowledge files are written in, each with one primary weight. It is made
// once, when the collator is, and only read afterwards, by any number of threads.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

struct UCollator;

namespace dialogue {

class CollationWeights {
public:
    // Null when the collator's settings compare in another way (backward secondary
    // weights, shifted punctuation, numeric digits, a case level, another strength).
    static std::unique_ptr<const CollationWeights> For(const UCollator* collator);

    // The place of c's primary weight among those of the table, from 1; 0 where c is not
    // in the table.
    std::uint16_t Primary(char16_t c) const { return primary_[c]; }
    // The places of c's secondary weights among those of the table, from 1, one byte each
    // from the lowest byte on, up to the first 0.
    std::uint32_t Secondaries(char16_t c) const { return secondaries_[c]; }
    // How many distinct primary weights the table holds.
    std::size_t Primaries() const { return primaries_; }

    bool Covers(std::u16string_view line) const;
    // <0, 0, >0 by the secondary weights of two covered lines.
    int CompareSecondary(std::u16string_view a, std::u16string_view b) const;

private:
    CollationWeights();

    std::vector<std::uint16_t> primary_;      // per unit
    std::vector<std::uint32_t> secondaries_;  // per unit
    std::size_t primaries_ = 0;
};

}  // namespace dialogue
