#pragma once
// The names of the temporary files WriteAtomically makes beside the file it replaces:
// "." + the file's name + ".tsldemo-check-" + six letters or digits. A run that was killed
// while writing leaves one behind, which the check names and --fix removes.
#include <cstddef>
#include <string>
#include <string_view>

namespace checker {

inline constexpr std::string_view kTemporaryInfix = ".tsldemo-check-";
inline constexpr std::size_t kTemporaryUniqueLength = 6;

// Whether a file name is that of such a temporary file.
bool IsTemporaryName(std::string_view name);

// The temporary name for fileName with the given six letters or digits.
std::string TemporaryName(std::string_view fileName, std::string_view unique);

}  // namespace checker
