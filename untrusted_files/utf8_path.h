#pragma once
// Paths to and from UTF-8. std::filesystem::path built from a std::string takes the system's
// narrow code page on Windows, not UTF-8; built from char8_t it is UTF-8 everywhere.
#include <filesystem>
#include <string>
#include <string_view>

namespace untrusted_files {

inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

}  // namespace untrusted_files
