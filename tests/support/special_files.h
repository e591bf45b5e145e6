#pragma once
// The windows' tests' view of each system's special files: what is no regular file, links,
// and which files count as programs. One source per system.
#include <QByteArray>
#include <QList>
#include <QString>

namespace special_files {

// A name with this extension that is no regular file: a FIFO on POSIX systems, which
// MakeNonRegular makes; a device name on Windows, which every folder holds already.
QString NonRegularName(const QString& extension);
bool MakeNonRegular(const QString& path);

// A symbolic link; false where the system makes none for this user (Wine makes none).
bool MakeLink(const QString& target, const QString& link);

// Regular files that count as programs here: by their executable bits on POSIX systems,
// by their extensions (programs, scripts, shortcuts) on Windows.
struct ProgramFile {
    const char* row;  // what the file is, as a test row's name
    QString name;
};
QList<ProgramFile> ProgramFiles();
// Writes one of them so that it counts as a program.
bool MakeProgram(const QString& path, const QByteArray& bytes);

}  // namespace special_files
