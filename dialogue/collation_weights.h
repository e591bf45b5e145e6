#pragma once
// The collation weights of single characters, so that a large file can be ordered without
// asking ICU for the sort key of every line.
//
// At secondary strength ICU compares two strings by the sequences of their primary
// weights and, where those are equal, by the sequences of their secondary weights. Where
// every character of a line has the same weights wherever it stands, those sequences are
// the concatenation of the characters' own. A character qualifies when no contraction can
// match through it, it does not combine with what precedes it, and its
// primary weights as the collator orders them (after any script reordering) are known;
// the others leave their lines to ICU.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

struct UCollator;
struct UCollationElements;
struct USet;

namespace dialogue {

class CollationWeights {
public:
    // Null when the collator's settings compare in another way (backward secondary
    // weights, shifted punctuation, numeric digits, a case level, another strength).
    static std::unique_ptr<CollationWeights> For(const UCollator* collator);
    ~CollationWeights();
    CollationWeights(const CollationWeights&) = delete;
    CollationWeights& operator=(const CollationWeights&) = delete;

    // Whether every unit of line qualifies. Learns the units it has not met before, so it
    // is never called by two threads at once, nor while the functions below run.
    bool Covers(std::u16string_view line);

    // Ranks the primary weights learnt so far; run it after Covers() and before the
    // functions below, which only read and may run on several threads at once.
    void Rank();
    // The bytes of one rank in a primary key: 1 while there are few weights, else 2.
    std::size_t RankBytes() const { return rankBytes_; }
    // Appends the ranks of a covered line's primary weights, most significant byte first:
    // comparing two such keys byte by byte, a shorter one first where it is a prefix of
    // the other, compares the lines' primary weights as the collator does.
    void AppendPrimaryKey(std::u16string_view line, std::vector<std::uint8_t>& out) const;
    // <0, 0, >0 by the secondary weights of two covered lines.
    int CompareSecondary(std::u16string_view a, std::u16string_view b) const;

private:
    // What is known of one unit.
    struct Unit {
        std::uint8_t state = kUnknown;
        std::uint8_t primaries = 0;    // how many primary weights
        std::uint8_t secondaries = 0;  // how many non-zero secondary weights
        std::uint32_t first = 0;       // where they start in primaryIds_ and secondaries_
        std::uint32_t firstSecondary = 0;
    };
    static constexpr std::uint8_t kUnknown = 0;
    static constexpr std::uint8_t kCovered = 1;
    static constexpr std::uint8_t kLeftToIcu = 2;

    explicit CollationWeights(const UCollator* collator);
    void Learn(char16_t c);
    // The primary weight as the collator orders it, learnt from the sort key of c alone.
    void LearnOrderedPrimary(char16_t c, std::uint32_t unordered);
    bool KnowsOrder(std::uint32_t unordered) const { return ordered_.count(unordered) != 0; }
    std::uint32_t IdOf(std::uint32_t ordered);

    const UCollator* collator_;
    UCollationElements* elements_ = nullptr;
    USet* inContractions_ = nullptr;  // characters that would let a contraction match
    std::vector<Unit> units_;
    std::vector<std::uint32_t> primaryIds_;   // per unit, from Unit::first
    std::vector<std::uint16_t> secondaries_;  // per unit, from Unit::firstSecondary
    std::unordered_map<std::uint32_t, std::uint32_t> ordered_;  // unordered primary -> ordered
    std::unordered_map<std::uint32_t, std::uint32_t> idOfPrimary_;
    std::vector<std::uint32_t> primaryOfId_;
    std::vector<std::uint16_t> rankOfId_;
    std::vector<std::uint16_t> singleRank_;  // per unit with one primary weight; 0 otherwise
    std::size_t rankBytes_ = 1;
};

}  // namespace dialogue
