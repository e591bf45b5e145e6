#include "text.h"

#include <array>
#include <cstdint>

#include <unicode/uchar.h>
#include <unicode/utf16.h>

namespace dialogue {

namespace {

constexpr bool IsTrimmed(char16_t c) { return c <= u' '; }

// The units of the knowledge files' scripts (Latin, Greek, Cyrillic) are mapped by a table,
// which keeps mixed text free of branches; the same mapping as ICU's.
constexpr char16_t kTableUnits = 0x500;

std::array<char16_t, kTableUnits> MakeLowerTable() {
    std::array<char16_t, kTableUnits> table{};
    for (char16_t c = 0; c < kTableUnits; ++c) table[c] = static_cast<char16_t>(u_tolower(c));
    return table;
}

// Built at first use, so that no other initialisation can come before it.
const std::array<char16_t, kTableUnits>& LowerTable() {
    static const std::array<char16_t, kTableUnits> table = MakeLowerTable();
    return table;
}

// The mapping of a unit beyond the table.
char16_t LowerBeyondTable(char16_t c) {
    // A surrogate half maps to itself, so the length never changes.
    const UChar32 lower = u_tolower(c);
    return lower <= 0xFFFF ? static_cast<char16_t>(lower) : c;
}

bool IsPair(std::u16string_view s, std::size_t i) {
    return U16_IS_LEAD(s[i]) && i + 1 < s.size() && U16_IS_TRAIL(s[i + 1]);
}

// The lower case of the character a surrogate pair stands for. Simple mappings keep a
// character outside the BMP outside it (Deseret, Osage, Adlam ...); one that did not would
// change the length, so it stays as it is.
UChar32 LowerPair(char16_t lead, char16_t trail) {
    const UChar32 c = U16_GET_SUPPLEMENTARY(lead, trail);
    const UChar32 lower = u_tolower(c);
    return lower > 0xFFFF ? lower : c;
}

// False where lower-casing keeps s for certain: all its units are lower-case Cyrillic
// letters or characters below U+00C0 other than upper-case Latin letters. Most units of a
// line are such: one branch-free pass, which the compiler turns into vector instructions,
// looks for any other.
bool MayChangeInLowerCase(std::u16string_view s) {
    std::uint16_t other = 0;
    for (const char16_t c : s) {
        const auto u = static_cast<std::uint16_t>(c);
        const bool upperLatin = static_cast<std::uint16_t>(u - u'A') <= u'Z' - u'A';
        const bool beyondLatin1Symbols = u > 0xBF;
        const bool lowerCyrillic = static_cast<std::uint16_t>(u - 0x430) <= 0x45F - 0x430;
        other |= static_cast<std::uint16_t>(upperLatin | (beyondLatin1Symbols & !lowerCyrillic));
    }
    return other != 0;
}

}  // namespace

std::u16string_view TrimView(std::u16string_view s) {
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && IsTrimmed(s[begin])) ++begin;
    while (end > begin && IsTrimmed(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

std::u16string Trim(std::u16string_view s) { return std::u16string(TrimView(s)); }

char16_t LowerUnit(char16_t c) { return c < kTableUnits ? LowerTable()[c] : LowerBeyondTable(c); }

void AppendLowerCase(std::u16string_view s, std::u16string& out) {
    const std::size_t start = out.size();
    out.resize(start + s.size());
    LowerCaseInto(s, out.data() + start);
}

void LowerCaseInto(std::u16string_view s, char16_t* to) {
    const std::array<char16_t, kTableUnits>& table = LowerTable();
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c < kTableUnits) {
            to[i] = table[c];
        } else if (IsPair(s, i)) {
            const UChar32 lower = LowerPair(c, s[i + 1]);
            to[i] = U16_LEAD(lower);
            to[i + 1] = U16_TRAIL(lower);
            ++i;
        } else {
            to[i] = LowerBeyondTable(c);
        }
    }
}

bool ChangesInLowerCase(std::u16string_view s) {
    // Only a line that may change is mapped unit by unit, up to the first unit that does.
    if (!MayChangeInLowerCase(s)) return false;
    const std::array<char16_t, kTableUnits>& table = LowerTable();
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c < kTableUnits) {
            if (table[c] != c) return true;
        } else if (IsPair(s, i)) {
            if (LowerPair(c, s[i + 1]) != U16_GET_SUPPLEMENTARY(c, s[i + 1])) return true;
            ++i;
        } else if (LowerBeyondTable(c) != c) {
            return true;
        }
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
