#pragma once
// The real path of an existing file or folder: absolute, every link and junction resolved,
// the names as the file system holds them. What confines pages to the article folder.
#include <optional>
#include <string>
#include <string_view>

namespace untrusted_files {

// UTF-8 in and out, with the system's own separators; nothing when path names nothing.
std::optional<std::string> RealPath(std::string_view path);

}  // namespace untrusted_files
