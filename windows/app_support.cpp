#include "app_support.h"

#include <QApplication>
#include <QFileInfo>

#include "message_box.h"

namespace windows {

QString ApplicationTitleFor(const QString& executablePath) {
    const QString name = QFileInfo(executablePath).fileName();
    const qsizetype dot = name.indexOf(u'.');
    const QString stem = dot < 0 ? name : name.left(dot);
    if (stem.isEmpty()) return stem;
    return stem.left(1) + stem.mid(1).toLower();
}

void ShowErrorReport(QWidget* parent, std::u16string_view message) {
    MessageBox::Show(parent, QMessageBox::Critical, QStringLiteral("ErrorReport"),
                     ToQString(dialogue::ErrorReportText(message)));
}

}  // namespace windows
