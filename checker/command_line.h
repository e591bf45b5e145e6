#pragma once
// The command line of tsldemo-check: options, the folder, output and exit status.
#include <ostream>
#include <string>
#include <vector>

namespace checker {

inline constexpr int kExitClean = 0;   // nothing found, or warnings only
inline constexpr int kExitErrors = 1;  // some question can never be answered
inline constexpr int kExitUsage = 2;   // bad command line or folder, and nothing else
inline constexpr int kExitFailed = 3;  // the check could not run to its end

struct RunEnvironment {
    // The folder checked when none is named: that of the checker's own executable.
    std::string ownFolder;
    // Progress is redrawn in place on a terminal and written as lines elsewhere.
    bool stderrIsTerminal = false;
};

// args excludes the program name. Returns the exit status.
int RunChecker(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const RunEnvironment& environment);

// The folder of the running executable's real path, or empty when it cannot be found.
std::string OwnExecutableFolder();

std::string HelpText();

}  // namespace checker
