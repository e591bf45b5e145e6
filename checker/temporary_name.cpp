#include "temporary_name.h"

#include <algorithm>

namespace checker {

namespace {

bool IsLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

}  // namespace

bool IsTemporaryName(std::string_view name) {
    const std::size_t minimum = 2 + kTemporaryInfix.size() + kTemporaryUniqueLength;
    if (name.size() < minimum || name.front() != '.') return false;
    const std::string_view unique = name.substr(name.size() - kTemporaryUniqueLength);
    const std::string_view infix = name.substr(
        name.size() - kTemporaryUniqueLength - kTemporaryInfix.size(), kTemporaryInfix.size());
    return infix == kTemporaryInfix && std::all_of(unique.begin(), unique.end(), IsLetterOrDigit);
}

std::string TemporaryName(std::string_view fileName, std::string_view unique) {
    std::string name = ".";
    name += fileName;
    name += kTemporaryInfix;
    name += unique;
    return name;
}

}  // namespace checker
