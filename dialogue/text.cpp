#include "text.h"

#include <unicode/uchar.h>

namespace dialogue {

namespace {
constexpr bool IsTrimmed(char16_t c) { return c <= u' '; }
}  // namespace

std::u16string_view TrimView(std::u16string_view s) {
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && IsTrimmed(s[begin])) ++begin;
    while (end > begin && IsTrimmed(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

std::u16string Trim(std::u16string_view s) { return std::u16string(TrimView(s)); }

char16_t LowerUnitBeyondFastPaths(char16_t c) {
    // A surrogate half maps to itself, so the length never changes.
    const UChar32 lower = u_tolower(c);
    return lower <= 0xFFFF ? static_cast<char16_t>(lower) : c;
}

void AppendLowerCase(std::u16string_view s, std::u16string& out) {
    const std::size_t start = out.size();
    out.resize(start + s.size());
    char16_t* to = out.data() + start;
    for (const char16_t c : s) *to++ = LowerUnit(c);
}

bool ChangesInLowerCase(std::u16string_view s) {
    for (const char16_t c : s) {
        if (LowerUnit(c) != c) return true;
    }
    return false;
}

std::u16string LowerCase(std::u16string_view s) {
    std::u16string out;
    AppendLowerCase(s, out);
    return out;
}

std::u16string_view GetLeft(std::u16string_view s) {
    const auto bar = s.find(u'|');
    return bar == std::u16string_view::npos ? s : s.substr(0, bar);
}

std::u16string_view GetRight(std::u16string_view s) {
    const auto bar = s.find(u'|');
    return bar == std::u16string_view::npos ? std::u16string_view{} : s.substr(bar + 1);
}

LinkedAnswer SplitLink(std::u16string_view answer) {
    LinkedAnswer out;
    bool collecting = false;
    for (std::size_t p = 0; p < answer.size(); ++p) {
        if (answer[p] == u'$') {
            collecting = true;
        } else if (collecting) {
            out.link.push_back(answer[p]);
        }
        if (collecting && p + 1 < answer.size() && answer[p + 1] == u'$') break;
    }
    // The rest starts after "$", the link and the closing "$".
    const std::size_t restStart = out.link.size() + 2;
    if (restStart < answer.size()) out.rest = answer.substr(restStart);
    return out;
}

std::u16string PortLinkSeparators(std::u16string_view link) {
    std::u16string out(link);
    for (char16_t& c : out) {
        if (c == u'\\') c = u'/';
    }
    return out;
}

}  // namespace dialogue
