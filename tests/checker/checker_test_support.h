#pragma once
// What the checker's tests share: a temporary program folder and knowledge files.
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

}  // namespace checker_testing
