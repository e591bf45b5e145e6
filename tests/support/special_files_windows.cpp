#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <windows.h>

#include "special_files.h"

namespace special_files {

// "con" opens the console in any folder and with any extension.
QString NonRegularName(const QString& extension) { return QStringLiteral("con.") + extension; }

bool MakeNonRegular(const QString&) { return true; }

bool MakeLink(const QString& target, const QString& link) {
    QFile::remove(link);
    const std::wstring from = QDir::toNativeSeparators(link).toStdWString();
    const std::wstring to = QDir::toNativeSeparators(target).toStdWString();
    const DWORD folder = QFileInfo(target).isDir() ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
    // Without administrator rights only in developer mode. Wine reports success and makes
    // nothing, so the link is looked for.
    if (!CreateSymbolicLinkW(from.c_str(), to.c_str(),
                             folder | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        return false;
    const DWORD attributes = GetFileAttributesW(from.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

QList<ProgramFile> ProgramFiles() {
    return {{"program", QStringLiteral("setup.exe")},
            {"command script", QStringLiteral("run.cmd")},
            {"shortcut named in capitals", QStringLiteral("photo.LNK")}};
}

bool MakeProgram(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace special_files
