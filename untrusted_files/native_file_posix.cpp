#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "native_file.h"

namespace untrusted_files::native {

namespace {

Status StatusFrom(const struct stat& info) {
    const Kind kind = S_ISREG(info.st_mode)   ? Kind::Regular
                      : S_ISDIR(info.st_mode) ? Kind::Folder
                                              : Kind::Other;
    return {kind, static_cast<std::uint64_t>(info.st_size > 0 ? info.st_size : 0)};
}

int Descriptor(std::intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

std::optional<Status> Look(std::string_view path, int& error) {
    struct stat info {};
    if (::stat(std::string(path).c_str(), &info) != 0) {
        error = errno;
        return std::nullopt;
    }
    return StatusFrom(info);
}

ReadOnlyFile::ReadOnlyFile(std::string_view path, int& error) {
    const std::string name(path);
    int fd = -1;
    do {
        fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) error = errno;
    handle_ = fd;
}

ReadOnlyFile::~ReadOnlyFile() {
    if (IsOpen()) ::close(Descriptor(handle_));
}

bool ReadOnlyFile::IsOpen() const { return handle_ >= 0; }

std::optional<Status> ReadOnlyFile::Look(int& error) const {
    struct stat info {};
    if (::fstat(Descriptor(handle_), &info) != 0) {
        error = errno;
        return std::nullopt;
    }
    return StatusFrom(info);
}

std::int64_t ReadOnlyFile::Read(char* buffer, std::size_t size, int& error) const {
    while (true) {
        const ssize_t n = ::read(Descriptor(handle_), buffer, size);
        if (n >= 0) return n;
        if (errno != EINTR) {
            error = errno;
            return -1;
        }
    }
}

bool CountsAsProgram(std::string_view path, const Status& status) {
    struct stat info {};
    return status.kind == Kind::Regular && ::stat(std::string(path).c_str(), &info) == 0 &&
           (info.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
}

}  // namespace untrusted_files::native
