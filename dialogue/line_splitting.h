#pragma once
// Splits decoded text into the lines of a knowledge file.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dialogue {

// Where a NUL ended the text, if one did.
struct NulStop {
    // The 1-based number of the line the NUL stands in.
    std::optional<std::size_t> nulLine;
    // Whether anything at all follows that NUL (text the program never reads).
    bool textAfterNul = false;
};

// A line runs up to the next CR, LF or NUL; after it one CR, then one LF is skipped,
// so CR LF, CR and LF each end one line and LF CR ends two. A NUL where a line would
// start, or inside one, ends the text. A last line without a break counts; a break at
// the very end adds no empty line. visit(line) is called for each line in file order,
// with a view into text; nothing is copied.
template <class Visit>
NulStop ForEachLine(std::u16string_view text, Visit&& visit) {
    std::size_t p = 0;
    std::size_t count = 0;
    const std::size_t end = text.size();
    while (p < end && text[p] != u'\0') {
        const std::size_t start = p;
        // Every unit that ends a line is at most CR: one comparison passes the others.
        while (p < end &&
               (text[p] > u'\r' || (text[p] != u'\0' && text[p] != u'\r' && text[p] != u'\n')))
            ++p;
        visit(text.substr(start, p - start));
        ++count;
        if (p < end && text[p] == u'\r') ++p;
        if (p < end && text[p] == u'\n') ++p;
    }
    NulStop stop;
    if (p < end) {
        const bool insideLine = p > 0 && text[p - 1] != u'\r' && text[p - 1] != u'\n';
        stop.nulLine = count + (insideLine ? 0 : 1);
        stop.textAfterNul = p + 1 < end;
    }
    return stop;
}

struct SplitLines : NulStop {
    std::vector<std::u16string> lines;
};

// The lines as copies, for small texts and tests; loading uses ForEachLine.
SplitLines SplitIntoLines(std::u16string_view text);

}  // namespace dialogue
