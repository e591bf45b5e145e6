#pragma once
// What the window tests share: a receiver for what the program hands to the desktop, and
// a catcher that answers the program's message boxes through their test hook.
#include <vector>

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include "message_box.h"

namespace window_testing {

// Receives what would go to the desktop, once given to QDesktopServices::setUrlHandler.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

// While it lives, every message box is answered at once and noted instead of shown.
class ModalCatcher {
public:
    ModalCatcher() {
        windows::MessageBox::TakeShown();
        windows::MessageBox::AnswerEvery(true);
    }
    ~ModalCatcher() {
        windows::MessageBox::AnswerEvery(false);
        windows::MessageBox::TakeShown();
    }
    ModalCatcher(const ModalCatcher&) = delete;
    ModalCatcher& operator=(const ModalCatcher&) = delete;

    // The last box answered: its object name and text; empty when none came up.
    QString Name() { return Last().objectName; }
    QString Text() { return Last().text; }

private:
    const windows::MessageBox::Shown& Last() {
        for (auto& box : windows::MessageBox::TakeShown()) last_ = std::move(box);
        return last_;
    }
    windows::MessageBox::Shown last_;
};

}  // namespace window_testing
