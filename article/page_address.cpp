#include "page_address.h"

#include <QFileInfo>

namespace article {

QUrl PageAddress(const QString& page) {
    if (page.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive)) {
        const QUrl url(page);
        if (url.isLocalFile()) return url;
    }
    QString path = page.isEmpty() ? QStringLiteral(".") : page;
    QString fragment;
    if (!QFileInfo::exists(path)) {
        QString slashed = path;
        slashed.replace(u'\\', u'/');
        const qsizetype hash = slashed.lastIndexOf(u'#');
        if (QFileInfo::exists(slashed)) {
            path = slashed;
        } else if (hash > 0 && QFileInfo::exists(slashed.left(hash))) {
            fragment = slashed.mid(hash + 1);
            path = slashed.left(hash);
        }
    }
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (!fragment.isEmpty()) url.setFragment(fragment);
    return url;
}

}  // namespace article
