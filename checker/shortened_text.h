#pragma once
// Long text is shown by its beginning only.
#include <cstddef>
#include <string>
#include <string_view>

#include <unicode/utf16.h>

namespace checker {

// text, or its first units (a surrogate pair kept whole) followed by "…".
inline std::u16string Shortened(std::u16string_view text, std::size_t units) {
    if (text.size() <= units) return std::u16string(text);
    std::size_t cut = units;
    if (cut > 0 && U16_IS_LEAD(text[cut - 1])) --cut;
    return std::u16string(text.substr(0, cut)) + u"…";
}

}  // namespace checker
