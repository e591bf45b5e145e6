#pragma once
// The About window: the program as a demonstration version, its sources, the developer.
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace windows {

class TViw : public QDialog {
    Q_OBJECT
public:
    explicit TViw(QWidget* parent = nullptr);

    // Shows the window modally; returns when it is closed.
    void ShowModal();

    void Button1Click();
    void Button2Click();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
};

}  // namespace windows
