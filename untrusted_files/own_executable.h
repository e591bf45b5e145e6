#pragma once
// Where this process's executable lies, and its standard streams.
#include <string>

namespace untrusted_files {

// The folder of the executable's real file, in UTF-8; empty when the system does not tell.
std::string OwnExecutableFolder();

// Whether standard error is shown on a terminal (a console window on Windows). On Windows
// the console is also switched to UTF-8, the text the program writes, and the standard
// streams to bytes as written: lines end in LF on every system.
bool PrepareStandardStreams();

}  // namespace untrusted_files
