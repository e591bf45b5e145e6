#pragma once
// The reference order of the phrase list: every line inserted in turn at the place a
// binary search finds, unless an equal line is there.
#include <algorithm>
#include <string>
#include <vector>

#include "collation.h"

namespace testing_support {

inline std::vector<std::u16string> InsertedOneByOne(const std::vector<std::u16string>& lines,
                                                    const dialogue::PhraseCollator& collator) {
    std::vector<std::u16string> list;
    for (const auto& line : lines) {
        auto it = std::lower_bound(
            list.begin(), list.end(), line,
            [&](const auto& a, const auto& b) { return collator.Compare(a, b) < 0; });
        if (it != list.end() && collator.Compare(*it, line) == 0) continue;
        list.insert(it, line);
    }
    return list;
}

}  // namespace testing_support
