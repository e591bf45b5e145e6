#pragma once
// What the tests of tsldemo-check as a program share: running it, its fixtures, and the
// files of a folder before and after.
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "run_program.h"
#include "utf8_path.h"

namespace checker_testing {

using testing_support::ProgramRun;
using testing_support::RunProgram;

inline const std::string kFixture = std::string(TSL_SOURCE_DIR) + "/tests/checker/fixture";
// Each mistake that --fix repairs, and nothing else.
inline const std::string kFixFixture = std::string(TSL_SOURCE_DIR) + "/tests/checker/fixture-fix";

inline ProgramRun RunChecker(const std::vector<std::string>& args) {
    return RunProgram(TSL_CHECKER_EXE, args);
}

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// Every regular file under root by its relative name ("mem/г") with its bytes.
inline std::map<std::string, std::string> FolderBytes(const std::filesystem::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            const std::u8string name =
                std::filesystem::relative(entry.path(), root).generic_u8string();
            files[std::string(name.begin(), name.end())] = ReadAll(entry.path());
        }
    }
    return files;
}

}  // namespace checker_testing
