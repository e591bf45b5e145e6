#pragma once
// The two comparisons of the knowledge base: the case-insensitive order of the phrase
// list and the plain comparison that matches a question against the user's key.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "scratch_vector.h"

struct UCollator;

namespace dialogue {

class CollationWeights;

// Orders text like the user's locale does, ignoring letter case (secondary strength).
// Under C or POSIX no locale is named, and ICU's default collator would then keep
// 'Apple' and 'apple' apart, so "ru" stands in for it. ICU's collation data is opened at
// the first comparison, not at start-up.
class PhraseCollator {
public:
    PhraseCollator();
    ~PhraseCollator();
    PhraseCollator(const PhraseCollator&) = delete;
    PhraseCollator& operator=(const PhraseCollator&) = delete;

    // <0, 0, >0 as a sorts before, equal to or after b.
    int Compare(std::u16string_view a, std::u16string_view b) const;

    // Appends the sort key of s (without its terminating zero) to keys.
    void AppendSortKey(std::u16string_view s, ScratchVector<std::uint8_t>& keys) const;

    // The locale whose order is used, e.g. "ru" or "en_US".
    std::string LocaleName() const;

    // The weights of single characters under this order, made at the first call; null
    // where the settings compare otherwise.
    const CollationWeights* Weights() const;

private:
    UCollator* Opened() const;

    mutable UCollator* collator_ = nullptr;
    mutable std::unique_ptr<const CollationWeights> weights_;
    mutable std::once_flag weightsMade_;
};

// The shared instance for the program: opening a collator costs more than a keystroke.
const PhraseCollator& DefaultCollator();

// Equality of the comparison without flags, by which a question matches the key.
inline bool SameText(std::u16string_view a, std::u16string_view b) { return a == b; }

// Whether the first units of line equal prefix; a line shorter than the prefix is compared whole.
inline bool BeginsWith(std::u16string_view line, std::u16string_view prefix) {
    return SameText(line.substr(0, prefix.size()), prefix);
}

}  // namespace dialogue
