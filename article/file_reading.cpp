#include "file_reading.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

namespace article {

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

FileStatus StatusOfErrno(int error) {
    return (error == ENOENT || error == ENOTDIR) ? FileStatus::Missing : FileStatus::Unreadable;
}

// Reads at most maxBytes + 1 bytes when the whole file is wanted (so that growth past the
// limit shows), at most maxBytes for a head.
FileRead Read(const QString& path, qint64 maxBytes, bool wholeFile) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    // Look before opening, so that no device or FIFO is even opened; then check the opened
    // file again, in case the name was pointed elsewhere in between.
    if (::stat(native.constData(), &info) != 0) return {StatusOfErrno(errno), {}};
    if (!S_ISREG(info.st_mode)) return {FileStatus::NotRegular, {}};
    if (wholeFile && info.st_size > maxBytes) return {FileStatus::TooLarge, {}};

    int fd = -1;
    do {
        fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return {StatusOfErrno(errno), {}};
    const Descriptor file(fd);
    if (::fstat(fd, &info) != 0) return {FileStatus::Unreadable, {}};
    if (!S_ISREG(info.st_mode)) return {FileStatus::NotRegular, {}};
    if (wholeFile && info.st_size > maxBytes) return {FileStatus::TooLarge, {}};

    const qint64 wanted = wholeFile ? maxBytes + 1 : maxBytes;
    QByteArray bytes(static_cast<qsizetype>(std::min<qint64>(wanted, std::max<qint64>(info.st_size, 0) + 1)),
                     Qt::Uninitialized);
    qint64 got = 0;
    while (got < wanted) {
        if (got == bytes.size()) bytes.resize(static_cast<qsizetype>(std::min<qint64>(wanted, got * 2 + 4096)));
        const ssize_t n = ::read(fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
        if (n < 0) {
            if (errno == EINTR) continue;
            return {FileStatus::Unreadable, {}};
        }
        if (n == 0) break;
        got += n;
    }
    if (wholeFile && got > maxBytes) return {FileStatus::TooLarge, {}};
    bytes.resize(static_cast<qsizetype>(got));
    return {FileStatus::Read, std::move(bytes)};
}

}  // namespace

FileRead ReadRegularFile(const QString& path, qint64 maxBytes) { return Read(path, maxBytes, true); }

FileRead ReadFileHead(const QString& path, qint64 maxBytes) { return Read(path, maxBytes, false); }

bool IsExecutableFile(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return false;
    return S_ISREG(info.st_mode) && (info.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
}

}  // namespace article
