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

bool PrepareStandardStreams() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace untrusted_files
