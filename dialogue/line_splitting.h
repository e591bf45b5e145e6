#pragma once
// Splits decoded text into the lines of a knowledge file.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dialogue {

struct SplitLines {
    std::vector<std::u16string> lines;
    // Set when a NUL ended the scan: the 1-based number of the line it stands in.
    std::optional<std::size_t> nulLine;
    // Whether anything at all follows that NUL (text the program never reads).
    bool textAfterNul = false;
};

// A line runs up to the next CR, LF or NUL; after it one CR, then one LF is skipped,
// so CR LF, CR and LF each end one line and LF CR ends two. A NUL where a line would
// start, or inside one, ends the text. A last line without a break counts; a break at
// the very end adds no empty line.
SplitLines SplitIntoLines(std::u16string_view text);

}  // namespace dialogue
