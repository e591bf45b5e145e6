#pragma once
// Reading a file that lies beside the program, which nobody vouches for: only a regular
// file, looked at before it is opened so that a FIFO or device is never opened, checked
// again once open in case the name was pointed elsewhere in between, opened so that it
// cannot block, and never read past a set size, even when it grows while being read.
//
// Paths are UTF-8 on every system (Windows gets them as UTF-16). A path holding a NUL byte,
// or on Windows one that is not valid UTF-8, names no file: it is refused as missing.
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace untrusted_files {

enum class FileStatus {
    Read,
    Missing,  // no such file, or a path that cannot name one
    Folder,
    NotRegular,   // a FIFO, device or socket
    TooLarge,     // larger than the limit, or grew past it while being read
    OutOfMemory,  // larger than the memory left, or memory ran out while reading
    Unreadable,   // any other failure, such as a permission refused
};

struct FileContents {
    FileStatus status = FileStatus::Missing;
    // The <cerrno> value that explains a failure (ENOENT, EISDIR, EINVAL, EFBIG, ENOMEM or
    // the system's own); 0 when read.
    int error = 0;
    std::string bytes;  // when Read
};

inline constexpr std::uint64_t kNoMemoryLimit = std::numeric_limits<std::uint64_t>::max();

// The whole file when it is a regular file of at most maxBytes. A file whose size reaches
// memoryAvailable is refused as OutOfMemory before anything is allocated.
FileContents ReadWholeFile(std::string_view path, std::uint64_t maxBytes,
                           std::uint64_t memoryAvailable = kNoMemoryLimit);

// The first bytes of a regular file (up to maxBytes), whatever its size.
FileContents ReadFileHead(std::string_view path, std::uint64_t maxBytes);

// Whether path names a regular file, symbolic links followed (a folder, FIFO or device is none).
bool IsRegularFile(std::string_view path);

// Whether path names a regular file that counts as a program: one that anyone may execute,
// or where programs are known by their names (Windows), one with a program's extension.
bool IsExecutableFile(std::string_view path);

}  // namespace untrusted_files
