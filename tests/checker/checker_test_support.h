#pragma once
// What the checker's tests share: a temporary program folder and knowledge files.
#include <cctype>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <string>
#include <string_view>

#include "checker.h"
#include "fixer.h"
#include "program_folder.h"
#include "report.h"
#include "text.h"

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

// Every case also holds an ordinary fallback file, so that only what the case is about shows.
inline const std::string kFallback = Utf8File({"5 советов|Спите больше."});

inline std::string Describe(const checker::CheckResult& result) {
    std::string out;
    for (const auto& f : result.findings) {
        out += f.file + ":" + std::to_string(f.line) + ": " + checker::KindId(f.kind) + ": " +
               dialogue::ToUtf8(f.message) + "\n";
    }
    return out;
}

inline std::string Describe(const checker::FixResult& result) {
    std::string out;
    for (const auto& change : result.changes) out += checker::FormatChange(change) + "\n";
    return out;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every file below the folder (links not followed), by relative path ("mem/г").
inline std::map<std::string, std::string> Snapshot(const TempFolder& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.Root())) {
        if (entry.is_regular_file() && !entry.is_symlink()) {
            const std::u8string name =
                std::filesystem::relative(entry.path(), folder.Root()).generic_u8string();
            files[std::string(name.begin(), name.end())] = ReadBytes(entry.path());
        }
    }
    return files;
}

}  // namespace checker_testing
