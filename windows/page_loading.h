#pragma once
// Reading an article page: its bytes into text the way a browser on a Russian system does,
// and the viewer's HTML view that takes its pages from here.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QTextBrowser>
#include <QUrl>

namespace windows {

// The charset that a <meta> tag near the top of the page declares, lower-cased; empty when
// there is none.
QByteArray DeclaredCharset(QByteArrayView bytes);

struct DecodedPage {
    QString text;
    QByteArray encoding;  // what the bytes were read as, e.g. "utf-8", "windows-1251"
};

// A byte-order mark wins, then a declared charset the converter knows; otherwise valid
// UTF-8 is UTF-8 and anything else Windows-1251. Never fails: bad bytes become U+FFFD.
DecodedPage DecodePage(QByteArrayView bytes);

// Limits that keep the HTML view from working for minutes on a strange page: articles are
// a few kilobytes with a table or two, while the view's time grows steeply with size, with
// nesting (doubling with each level of tables inside tables) and with long unbroken words.
inline constexpr qint64 kMaxPageBytes = 1024 * 1024;
inline constexpr int kMaxElementDepth = 400;
inline constexpr int kMaxTableDepth = 10;
// Longer runs of text without a space get an invisible break opportunity.
inline constexpr int kMaxUnbrokenRun = 1000;

struct PageShape {
    int elementDepth = 0;  // elements open inside one another, at the deepest point
    int tableDepth = 0;    // tables inside tables, at the deepest point
};

// Measures the page's nesting and puts a zero-width space into every run of text longer
// than kMaxUnbrokenRun characters (not into tags, entities, comments, scripts or styles).
PageShape PreparePage(QString& html);

enum class PageStatus { Loaded, Missing, Unreadable, Refused };

struct LoadedPage {
    PageStatus status = PageStatus::Missing;
    QString html;     // the page, or our own page telling what went wrong
    QString message;  // why a refused page is not shown, for the error report
};

LoadedPage LoadPage(const QString& path);

// A QTextBrowser whose local HTML pages are decoded by DecodePage, and which shows our own
// page in place of a missing or unreadable one. Images and style sheets load as usual,
// relative to the page.
class ArticleBrowser : public QTextBrowser {
public:
    explicit ArticleBrowser(QWidget* parent = nullptr);

    // Shows a page already read by LoadPage at the given address; the address goes into
    // the history as setSource would put it there.
    void Open(const QUrl& url, QString html);

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    QUrl pendingUrl_;
    QString pendingHtml_;
};

}  // namespace windows
