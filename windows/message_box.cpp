#include "message_box.h"

#include <QAbstractButton>
#include <QApplication>

namespace windows {

namespace {

QMessageBox::StandardButton nextAnswer = QMessageBox::NoButton;
bool answerEvery = false;
std::vector<MessageBox::Shown> answered;

}  // namespace

void MessageBox::Show(QWidget* parent, QMessageBox::Icon icon, const QString& objectName,
                      const QString& text) {
    QMessageBox box(icon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
    box.setObjectName(objectName);
    // Qt's translations would rename the button; the program's boxes say "OK" whatever they hold.
    if (QAbstractButton* ok = box.button(QMessageBox::Ok)) ok->setText(QStringLiteral("OK"));
    if (nextAnswer == QMessageBox::NoButton && !answerEvery) {
        box.exec();
        return;
    }
    nextAnswer = QMessageBox::NoButton;
    Shown shown{box.objectName(), box.windowTitle(), box.text(), box.icon(), {}};
    for (QAbstractButton* button : box.buttons()) shown.buttons << button->text();
    answered.push_back(std::move(shown));
}

void MessageBox::SetNextAnswer(QMessageBox::StandardButton answer) { nextAnswer = answer; }

void MessageBox::AnswerEvery(bool answer) { answerEvery = answer; }

std::vector<MessageBox::Shown> MessageBox::TakeShown() { return std::exchange(answered, {}); }

}  // namespace windows
