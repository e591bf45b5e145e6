#include "untrusted_file.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace untrusted_files {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

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
std::optional<FileContents> Refusal(const struct stat& info, std::uint64_t maxBytes,
                                    std::uint64_t memoryAvailable, bool wholeFile) {
    if (S_ISDIR(info.st_mode)) return Failure(FileStatus::Folder, EISDIR);
    if (!S_ISREG(info.st_mode)) return Failure(FileStatus::NotRegular, EINVAL);
    if (!wholeFile) return std::nullopt;
    const auto size = static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0));
    if (size > maxBytes) return Failure(FileStatus::TooLarge, EFBIG);
    if (size >= memoryAvailable) return Failure(FileStatus::OutOfMemory, ENOMEM);
    return std::nullopt;
}

int OpenForReading(const std::string& path) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Reads at most maxBytes + 1 bytes when the whole file is wanted (so that growth past the
// limit shows), at most maxBytes for a head.
FileContents ReadOpenFile(int fd, std::uint64_t size, std::uint64_t maxBytes, bool wholeFile) {
    const std::uint64_t wanted = wholeFile ? maxBytes + 1 : maxBytes;
    std::string bytes;
    // One byte of room beyond the size, so that the end is seen without growing.
    bytes.resize(static_cast<std::size_t>(std::min(wanted, size + 1)));
    std::uint64_t got = 0;
    while (got < wanted) {
        if (got == bytes.size())
            bytes.resize(static_cast<std::size_t>(std::min(wanted, got * 2 + 4096)));
        const ssize_t n =
            ::read(fd, bytes.data() + got, bytes.size() - static_cast<std::size_t>(got));
        if (n < 0) {
            if (errno == EINTR) continue;
            return FailureOfErrno(errno);
        }
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
    struct stat info {};
    if (::stat(name->c_str(), &info) != 0) return FailureOfErrno(errno);
    if (auto refused = Refusal(info, maxBytes, memoryAvailable, wholeFile))
        return std::move(*refused);

    const Descriptor file(OpenForReading(*name));
    if (file.get() < 0) return FailureOfErrno(errno);
    if (::fstat(file.get(), &info) != 0) return FailureOfErrno(errno);
    if (auto refused = Refusal(info, maxBytes, memoryAvailable, wholeFile))
        return std::move(*refused);
    try {
        const auto size = static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0));
        return ReadOpenFile(file.get(), size, maxBytes, wholeFile);
    } catch (const std::bad_alloc&) {
        return Failure(FileStatus::OutOfMemory, ENOMEM);
    }
}

std::optional<struct stat> StatusOf(std::string_view path) {
    const std::optional<std::string> name = SystemPath(path);
    struct stat info {};
    if (!name || ::stat(name->c_str(), &info) != 0) return std::nullopt;
    return info;
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
    const std::optional<struct stat> info = StatusOf(path);
    return info && S_ISREG(info->st_mode);
}

bool IsExecutableFile(std::string_view path) {
    const std::optional<struct stat> info = StatusOf(path);
    return info && S_ISREG(info->st_mode) && (info->st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
}

}  // namespace untrusted_files
