#pragma once
// Between UTF-8, the text every part of the program passes around, and UTF-16, which
// Windows' own calls take. Windows only.
#include <optional>
#include <string>
#include <string_view>

namespace untrusted_files {

// Nothing when text is not valid UTF-8 (such a path names no file).
std::optional<std::wstring> WideFromUtf8(std::string_view text);
// Unpaired surrogates, which Windows allows in names, become U+FFFD.
std::string Utf8FromWide(std::wstring_view text);

}  // namespace untrusted_files
