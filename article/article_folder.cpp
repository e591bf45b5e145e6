#include "article_folder.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>

#include "real_path.h"

namespace article {

namespace {

// The real path of an existing file or folder, with "/" as Qt writes paths; empty when none.
// The system resolves it: Qt's own resolution does not see through Windows' junctions.
QString ExistingRealPath(const QString& path) {
    const std::optional<std::string> real = untrusted_files::RealPath(path.toStdString());
    return real ? QDir::fromNativeSeparators(QString::fromStdString(*real)) : QString();
}

// The real path of an existing file, or of the nearest existing folder above a missing one
// with the missing part added as written (it holds no links, since it does not exist).
QString RealPath(const QString& path) {
    QString rest;
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    while (true) {
        const QString real = ExistingRealPath(existing);
        if (!real.isEmpty()) return rest.isEmpty() ? real : QDir::cleanPath(real + u'/' + rest);
        const qsizetype slash = existing.lastIndexOf(u'/');
        if (slash <= 0) return {};
        const QString name = existing.mid(slash + 1);
        rest = rest.isEmpty() ? name : name + u'/' + rest;
        existing = existing.left(slash);
    }
}

}  // namespace

bool HasControlCharacter(QStringView path) {
    return std::any_of(path.begin(), path.end(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

QString ArticleFolder::Inside(const QString& path) const {
    if (root_.isEmpty() || path.isEmpty() || HasControlCharacter(path)) return {};
    const QString root = ExistingRealPath(root_);
    if (root.isEmpty()) return {};
    const QString real = RealPath(path);
    if (real.isEmpty()) return {};
    if (real == root || real.startsWith(root.endsWith(u'/') ? root : root + u'/')) return real;
    return {};
}

}  // namespace article
