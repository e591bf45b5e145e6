#pragma once
// The article viewer: a local HTML page in a QTextBrowser, with find-in-page.
#include <QWidget>

class QTextBrowser;
class QPushButton;

namespace windows {

class Panel;

class Thtv : public QWidget {
    Q_OBJECT
public:
    explicit Thtv(QWidget* parent = nullptr);

    // Opens the local page and shows the window without making it modal; a window already
    // shown comes to the front.
    void ShowHT(const QString& page);

    void FormCreate();
    void Button1Click();

    QTextBrowser* wb1 = nullptr;
    Panel* Panel1 = nullptr;
    QPushButton* Button1 = nullptr;
};

}  // namespace windows
