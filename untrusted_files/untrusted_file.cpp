#include "untrusted_file.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <optional>

#include "native_file.h"

namespace untrusted_files {

namespace {

// The path as the system takes it, or nothing when it cannot name a file.
std::optional<std::string> SystemPath(std::string_view path) {
    if (path.find('\0') != std::string_view::npos) return std::nullopt;
    return std::string(path);
}

FileContents Failure(FileStatus status, int error) { return {status, error, {}}; }

FileContents FailureOfErrno(int error) {
    const bool missing = error == ENOENT || error == ENOTDIR;
    return Failure(missing ? FileStatus::Missing : FileStatus::Unreadable, error);
}

// Why a file of this kind and size cannot be read whole; nothing when it can.
std::optional<FileContents> Refusal(const native::Status& info, std::uint64_t maxBytes,
                                    std::uint64_t memoryAvailable, bool wholeFile) {
    if (info.kind == native::Kind::Folder) return Failure(FileStatus::Folder, EISDIR);
    if (info.kind != native::Kind::Regular) return Failure(FileStatus::NotRegular, EINVAL);
    if (!wholeFile) return std::nullopt;
    if (info.size > maxBytes) return Failure(FileStatus::TooLarge, EFBIG);
    if (info.size >= memoryAvailable) return Failure(FileStatus::OutOfMemory, ENOMEM);
    return std::nullopt;
}

// Reads at most maxBytes + 1 bytes when the whole file is wanted (so that growth past the
// limit shows), at most maxBytes for a head.
FileContents ReadOpenFile(const native::ReadOnlyFile& file, std::uint64_t size,
                          std::uint64_t maxBytes, bool wholeFile) {
    const std::uint64_t wanted = wholeFile ? maxBytes + 1 : maxBytes;
    std::string bytes;
    // One byte of room beyond the size, so that the end is seen without growing.
    bytes.resize(static_cast<std::size_t>(std::min(wanted, size + 1)));
    std::uint64_t got = 0;
    while (got < wanted) {
        if (got == bytes.size())
            bytes.resize(static_cast<std::size_t>(std::min(wanted, got * 2 + 4096)));
        int error = 0;
        const std::int64_t n =
            file.Read(bytes.data() + got, bytes.size() - static_cast<std::size_t>(got), error);
        if (n < 0) return FailureOfErrno(error);
        if (n == 0) break;
        got += static_cast<std::uint64_t>(n);
    }
    if (wholeFile && got > maxBytes) return Failure(FileStatus::TooLarge, EFBIG);
    bytes.resize(static_cast<std::size_t>(got));
    return {FileStatus::Read, 0, std::move(bytes)};
}

FileContents Read(std::string_view path, std::uint64_t maxBytes, std::uint64_t memoryAvailable,
                  bool wholeFile) {
    const std::optional<std::string> name = SystemPath(path);
    if (!name) return Failure(FileStatus::Missing, ENOENT);
    // Look before opening, so that no device or FIFO is even opened; then check the opened
    // file again, in case the name was pointed elsewhere in between.
    int error = 0;
    std::optional<native::Status> info = native::Look(*name, error);
    if (!info) return FailureOfErrno(error);
    if (auto refused = Refusal(*info, maxBytes, memoryAvailable, wholeFile))
        return std::move(*refused);

    const native::ReadOnlyFile file(*name, error);
    if (!file.IsOpen()) return FailureOfErrno(error);
    info = file.Look(error);
    if (!info) return FailureOfErrno(error);
    if (auto refused = Refusal(*info, maxBytes, memoryAvailable, wholeFile))
        return std::move(*refused);
    try {
        return ReadOpenFile(file, info->size, maxBytes, wholeFile);
    } catch (const std::bad_alloc&) {
        return Failure(FileStatus::OutOfMemory, ENOMEM);
    }
}

std::optional<native::Status> StatusOf(std::string_view path) {
    const std::optional<std::string> name = SystemPath(path);
    int error = 0;
    return name ? native::Look(*name, error) : std::nullopt;
}

}  // namespace

FileContents ReadWholeFile(std::string_view path, std::uint64_t maxBytes,
                           std::uint64_t memoryAvailable) {
    return Read(path, maxBytes, memoryAvailable, true);
}

FileContents ReadFileHead(std::string_view path, std::uint64_t maxBytes) {
    return Read(path, maxBytes, kNoMemoryLimit, false);
}

bool IsRegularFile(std::string_view path) {
    const std::optional<native::Status> info = StatusOf(path);
    return info && info->kind == native::Kind::Regular;
}

bool IsExecutableFile(std::string_view path) {
    const std::optional<native::Status> info = StatusOf(path);
    return info && native::CountsAsProgram(path, *info);
}

}  // namespace untrusted_files
