#pragma once
// Where the knowledge files lie, which one serves an input, and reading one whole.
#include <cstddef>
#include <string>
#include <string_view>

#include "errors.h"
#include "rules.h"

namespace dialogue {


// The file for key's first unit when a regular file of that name exists (symbolic links
// followed), else the fallback file, whose existence is not tested. key is never empty.
// A first unit that cannot name a file here (a lone surrogate half, NUL, "/") selects the
// fallback, as "." does because it names a directory.
std::u16string SelectKnowledgeFile(std::u16string_view programDir, std::u16string_view key);

// The file named by one unit, as SelectKnowledgeFile forms it.
std::u16string KnowledgeFilePath(std::u16string_view programDir, char16_t first);
std::u16string FallbackFilePath(std::u16string_view programDir);

// Files above this size are refused as too large rather than exhausting memory.
inline constexpr std::size_t kMaxKnowledgeFileBytes = std::size_t{512} << 20;

// Reads the whole file. Throws FileOpenError with "Cannot open file \"<absolute normalised
// path>\". <reason>". Linux has no share modes, so nothing stands in for deny-writers.
std::string ReadKnowledgeFile(std::u16string_view path);

// "Cannot open file \"<absolute normalised path>\". <the system's text for error>".
FileOpenError OpenErrorFor(std::u16string_view path, int error);

// The absolute, normalised form of path shown in messages.
std::u16string NormalisedPath(std::u16string_view path);

}  // namespace dialogue
