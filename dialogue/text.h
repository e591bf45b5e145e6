#pragma once
// Line functions shared by the query and the suggestion handlers.
#include <string>
#include <string_view>

namespace dialogue {

// Drops every leading and trailing unit whose code is 32 or less (blank, tab, CR, LF ...).
std::u16string_view TrimView(std::u16string_view s);
std::u16string Trim(std::u16string_view s);

// The simple lower-case mapping of every character, a surrogate pair's included; the
// result has the length of the input (no simple mapping moves a character into or out of
// the BMP), and a lone surrogate half stays as it is.
std::u16string LowerCase(std::u16string_view s);
// The same, appended to out.
void AppendLowerCase(std::u16string_view s, std::u16string& out);
// The same, written to the s.size() units at to.
void LowerCaseInto(std::u16string_view s, char16_t* to);
// The mapping of one unit; a surrogate half maps to itself.
char16_t LowerUnit(char16_t c);
// Whether lower-casing s changes it.
bool ChangesInLowerCase(std::u16string_view s);

// The text before the first "|" (all of s without one) and after it (empty without one).
std::u16string_view GetLeft(std::u16string_view s);
std::u16string_view GetRight(std::u16string_view s);

// A linked answer "$link$rest" cut into its parts. Only meaningful for an answer
// whose first unit is "$"; an answer without a second "$" is all link.
struct LinkedAnswer {
    std::u16string link;
    std::u16string rest;
};
LinkedAnswer SplitLink(std::u16string_view answer);

// Knowledge files written on Windows name article pages with "\"; here "/" separates.
std::u16string PortLinkSeparators(std::u16string_view link);

}  // namespace dialogue
