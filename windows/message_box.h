#pragma once
// Every message box of the program: modal, one "OK" button, captioned with the
// application's title. Tests answer boxes through SetNextAnswer instead of looking for
// dialogs on the screen, in the manner of KeePassXC's MessageBox.
#include <vector>

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

namespace windows {

class MessageBox {
public:
    // What a box showed, as a test reads it.
    struct Shown {
        QString objectName;
        QString caption;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;
    };

    // Shows the box and returns when it is closed. objectName names it for tests and
    // assistive technology ("Message", "ErrorReport").
    static void Show(QWidget* parent, QMessageBox::Icon icon, const QString& objectName,
                     const QString& text);

    // For tests: the next box is not shown but answered at once; what it would have
    // shown is kept for TakeShown. AnswerEvery does so for every box until called with false.
    static void SetNextAnswer(QMessageBox::StandardButton answer);
    static void AnswerEvery(bool answer);
    // The boxes answered so far by either, oldest first; the record is emptied.
    static std::vector<Shown> TakeShown();
};

}  // namespace windows
