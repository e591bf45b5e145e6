#include "line_splitting.h"

namespace dialogue {

SplitLines SplitIntoLines(std::u16string_view text) {
    SplitLines out;
    static_cast<NulStop&>(out) =
        ForEachLine(text, [&](std::u16string_view line) { out.lines.emplace_back(line); });
    return out;
}

}  // namespace dialogue
