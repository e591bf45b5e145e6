#include "application_title.h"

#include <QFileInfo>

namespace windows {

QString ApplicationTitleFor(const QString& executablePath) {
    const QString name = QFileInfo(executablePath).fileName();
    const qsizetype dot = name.indexOf(u'.');
    const QString stem = dot < 0 ? name : name.left(dot);
    if (stem.isEmpty()) return stem;
    return stem.left(1) + stem.mid(1).toLower();
}

}  // namespace windows
