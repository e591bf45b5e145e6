#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include "special_files.h"

namespace special_files {

QString NonRegularName(const QString& extension) { return QStringLiteral("fifo.") + extension; }

bool MakeNonRegular(const QString& path) {
    QFile::remove(path);
    return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
}

bool MakeLink(const QString& target, const QString& link) {
    QFile::remove(link);
    return QFile::link(target, link);
}

QList<ProgramFile> ProgramFiles() {
    return {{"executable script", QStringLiteral("run.sh")},
            {"picture with the executable bit", QStringLiteral("exec.png")}};
}

bool MakeProgram(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return false;
    file.close();
    return QFile::setPermissions(
        path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
}

}  // namespace special_files
