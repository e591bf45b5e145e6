#pragma once
// What the checker's tests share: a temporary program folder and knowledge files.
#include <cctype>
#include <initializer_list>
#include <string>
#include <string_view>

#include "program_folder.h"

namespace checker_testing {

using TempFolder = testing_support::ProgramFolder;

// UTF-8 with its mark: the lines joined by LF.
inline std::string Utf8File(std::initializer_list<std::string_view> lines) {
    std::string out = "\xEF\xBB\xBF";
    for (const auto line : lines) {
        out += line;
        out += '\n';
    }
    return out;
}

// A table case's own words, as far as a test name may hold them.
inline std::string CaseTestName(std::string_view words) {
    std::string name;
    for (const char c : words) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            name += c;
        } else if (!name.empty() && name.back() != '_') {
            name += '_';
        }
    }
    while (!name.empty() && name.back() == '_') name.pop_back();
    return name;
}

}  // namespace checker_testing
