#include "line_splitting.h"

namespace dialogue {

SplitLines SplitIntoLines(std::u16string_view text) {
    SplitLines out;
    std::size_t p = 0;
    const std::size_t end = text.size();
    while (p < end && text[p] != u'\0') {
        const std::size_t start = p;
        while (p < end && text[p] != u'\0' && text[p] != u'\r' && text[p] != u'\n') ++p;
        out.lines.emplace_back(text.substr(start, p - start));
        if (p < end && text[p] == u'\r') ++p;
        if (p < end && text[p] == u'\n') ++p;
    }
    if (p < end) {  // stopped at a NUL
        const bool insideLine = p > 0 && text[p - 1] != u'\r' && text[p - 1] != u'\n';
        out.nulLine = out.lines.size() + (insideLine ? 0 : 1);
        out.textAfterNul = p + 1 < end;
    }
    return out;
}

}  // namespace dialogue
