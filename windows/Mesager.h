#pragma once
// The About window: the program as a demonstration version, its sources, the developer.
#include <QDialog>
#include <QPointer>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace windows {

// The developer's page, kept as the shell call takes it: at most 255 UTF-16 units and a NUL.
inline constexpr char16_t kDeveloperPage[256] = u"http://celitor.example/doctor/1.html";

class TViw : public QDialog {
    Q_OBJECT
public:
    explicit TViw(QWidget* parent = nullptr);

    // Shows the window modally; returns when it is closed.
    void ShowModal();

    void FormCreate();
    void Button1Click();
    void Button2Click();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool shownOnce_ = false;
    QPoint lastPos_;
    QPointer<QWidget> lastFocus_;
};

}  // namespace windows
