#pragma once
// Reading a file that lies beside the program, which nobody vouches for, for Qt callers:
// the paths and bytes of untrusted_files (see there what is refused and why) as Qt's.
#include <QByteArray>
#include <QString>

namespace article {

enum class FileStatus { Read, Missing, NotRegular, TooLarge, Unreadable };

struct FileRead {
    FileStatus status = FileStatus::Missing;
    QByteArray bytes;  // when Read
};

// The whole file when it is a regular file of at most maxBytes.
FileRead ReadRegularFile(const QString& path, qint64 maxBytes);

// The first bytes of a regular file (up to maxBytes), whatever its size.
FileRead ReadFileHead(const QString& path, qint64 maxBytes);

// True when the path names a regular file that anyone may execute.
bool IsExecutableFile(const QString& path);

}  // namespace article
