#include "app_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace windows {

QString ApplicationTitleFor(const QString& executablePath) {
    const QString name = QFileInfo(executablePath).fileName();
    const qsizetype dot = name.indexOf(u'.');
    const QString stem = dot < 0 ? name : name.left(dot);
    if (stem.isEmpty()) return stem;
    return stem.left(1) + stem.mid(1).toLower();
}

void KeepOkButtonText(QMessageBox& box) {
    if (QAbstractButton* ok = box.button(QMessageBox::Ok)) ok->setText(QStringLiteral("OK"));
}

void ShowErrorReport(QWidget* parent, std::u16string_view message) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(),
                    ToQString(dialogue::ErrorReportText(message)), QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("ErrorReport"));
    KeepOkButtonText(box);
    box.exec();
}

}  // namespace windows
