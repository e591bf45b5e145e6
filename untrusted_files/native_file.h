#pragma once
// The system's side of reading a file, one implementation per system: looking at what a
// path names, opening it for reading without blocking, reading, and whether it can be run.
// Paths come in as UTF-8; failures are <cerrno> values.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace untrusted_files::native {

enum class Kind { Regular, Folder, Other };

struct Status {
    Kind kind = Kind::Other;
    std::uint64_t size = 0;
};

// What path names, symbolic links followed; nothing (with error set) when it cannot be seen.
std::optional<Status> Look(std::string_view path, int& error);

class ReadOnlyFile {
public:
    // Opened so that neither a FIFO nor a terminal can block it; IsOpen() tells, error why not.
    ReadOnlyFile(std::string_view path, int& error);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool IsOpen() const;
    // What the opened file is, which may differ from what its name showed a moment before.
    std::optional<Status> Look(int& error) const;
    // Up to size bytes, exactly as stored; 0 at the end, -1 with error set on failure.
    std::int64_t Read(char* buffer, std::size_t size, int& error) const;

private:
    std::intptr_t handle_;
};

// Whether a regular file counts as a program: where the system marks programs by
// permission bits, one that anyone may execute; elsewhere, by its name's extension.
bool CountsAsProgram(std::string_view path, const Status& status);

}  // namespace untrusted_files::native
