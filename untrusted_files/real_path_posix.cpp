#include <cstdlib>
#include <memory>

#include "real_path.h"

namespace untrusted_files {

std::optional<std::string> RealPath(std::string_view path) {
    const std::string name(path);
    if (name.empty() || name.find('\0') != std::string::npos) return std::nullopt;
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(name.c_str(), nullptr),
                                                           &std::free);
    if (!real) return std::nullopt;
    return std::string(real.get());
}

}  // namespace untrusted_files
