#include "file_reading.h"

#include <algorithm>

#include "untrusted_file.h"

namespace article {

namespace {

FileStatus StatusOf(untrusted_files::FileStatus status) {
    switch (status) {
    case untrusted_files::FileStatus::Read:
        return FileStatus::Read;
    case untrusted_files::FileStatus::Missing:
        return FileStatus::Missing;
    case untrusted_files::FileStatus::Folder:
    case untrusted_files::FileStatus::NotRegular:
        return FileStatus::NotRegular;
    case untrusted_files::FileStatus::TooLarge:
        return FileStatus::TooLarge;
    case untrusted_files::FileStatus::OutOfMemory:
    case untrusted_files::FileStatus::Unreadable:
        break;
    }
    return FileStatus::Unreadable;
}

// The reading layer takes UTF-8 on every system (Qt's encodeName would give Windows' ANSI
// code page there).
std::string NativePath(const QString& path) { return path.toUtf8().toStdString(); }

FileRead Adapted(untrusted_files::FileContents read) {
    const FileStatus status = StatusOf(read.status);
    if (status != FileStatus::Read) return {status, {}};
    return {status, QByteArray(read.bytes.data(), static_cast<qsizetype>(read.bytes.size()))};
}

}  // namespace

FileRead ReadRegularFile(const QString& path, qint64 maxBytes) {
    return Adapted(untrusted_files::ReadWholeFile(
        NativePath(path), static_cast<std::uint64_t>(std::max<qint64>(maxBytes, 0))));
}

FileRead ReadFileHead(const QString& path, qint64 maxBytes) {
    return Adapted(untrusted_files::ReadFileHead(
        NativePath(path), static_cast<std::uint64_t>(std::max<qint64>(maxBytes, 0))));
}

bool IsExecutableFile(const QString& path) {
    return untrusted_files::IsExecutableFile(NativePath(path));
}

}  // namespace article
