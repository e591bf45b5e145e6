#pragma once
// Runs a program (no shell between) and collects its exit status and both output streams.
#include <string>
#include <vector>

namespace testing_support {

struct ProgramRun {
    int status = -1;  // -1 when it could not be started or did not exit normally
    std::string out;
    std::string err;
};

// program and args in UTF-8; workingFolder empty for the test's own.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& workingFolder = {});

}  // namespace testing_support
