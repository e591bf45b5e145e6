#include <filesystem>

#include <unistd.h>

#include "own_executable.h"
#include "utf8_path.h"

namespace untrusted_files {

std::string OwnExecutableFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return Utf8FromPath(self.parent_path());
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

bool PrepareStandardStreams() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace untrusted_files
