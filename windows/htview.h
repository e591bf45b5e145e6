#pragma once
// The article viewer: a local HTML page in a QTextBrowser, with find-in-page.
#include <optional>

#include <QMargins>
#include <QPoint>
#include <QSize>
#include <QWidget>

class QTextBrowser;
class QPrinter;
class QPushButton;
class QUrl;

namespace windows {

class ArticleBrowser;
class FindBar;
class Panel;

class Thtv : public QWidget {
    Q_OBJECT
public:
    // Pages and the files they link to are taken only from articleFolder (the program's
    // "bio" folder); the page given to ShowHT is shown wherever it lies.
    explicit Thtv(const QString& articleFolder, QWidget* parent = nullptr);
    // The article folder beside the running program.
    explicit Thtv(QWidget* parent = nullptr);

    // Opens the local page and shows the window without making it modal; a window already
    // shown comes to the front. A page that cannot be shown at all goes to the error report.
    void ShowHT(const QString& page);

    void FormCreate();
    // Opens the find bar.
    void Button1Click();

    // Shows the page at a local address in wb1. A missing or unreadable page shows our own
    // page saying so; a page too large or too deeply nested to show raises dialogue::DialogueError
    // and leaves the view as it was.
    void Navigate(const QUrl& url);

    // Opens the print dialog for the page shown, which can also save it as a PDF file.
    void Print();
    // Prints the page shown on printer, set up as the print dialog leaves it.
    void PrintTo(QPrinter& printer) const;

    // The page's text size, in percent of the normal size.
    int ZoomPercent() const;
    void ZoomIn();
    void ZoomOut();
    void ZoomReset();

    QTextBrowser* wb1 = nullptr;
    Panel* Panel1 = nullptr;
    QPushButton* Button1 = nullptr;
    FindBar* FindBar1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LinkClicked(const QUrl& link);
    void ShowWindow();
    // Follows the mouse's side buttons; true when the button was one of them.
    bool HistoryButton(Qt::MouseButton button);
    void SetZoom(int level);
    void AskClientSize(const QSize& client);
    // The outer size the window is given: 800 x 600, or the available part of its screen
    // where that is smaller.
    QSize OuterSize() const;
    // Gives the window its outer size with the given frame, until it is first closed.
    void FitOuterSize(const std::optional<QMargins>& frame);
    QWidget* ReportParent();

    ArticleBrowser* browser_ = nullptr;
    int zoomLevel_ = 0;
    int wheelRemainder_ = 0;
    bool fittingOuterSize_ = true;
    QSize askedClient_;
    bool placed_ = false;
    QPoint lastPos_;
    QSize lastSize_;
};

}  // namespace windows
