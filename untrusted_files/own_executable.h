#pragma once
// Where this process's executable lies, and its standard streams.
#include <string>
#include <vector>

namespace untrusted_files {

// The folder of the executable's real file, in UTF-8; empty when the system does not tell.
std::string OwnExecutableFolder();

// The command line's arguments after the program's name, in UTF-8 (Windows passes main()
// its ANSI code page's).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Whether standard error is shown on a terminal (a console window on Windows). On Windows
// the console is also switched to UTF-8, the text the program writes, and the standard
// streams to bytes as written: lines end in LF on every system.
bool PrepareStandardStreams();

}  // namespace untrusted_files
