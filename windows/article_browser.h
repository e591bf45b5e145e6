#pragma once
// The viewer's HTML view, which fetches every resource of a page itself: only regular
// files inside the article folder, within limits.
#include <QHash>
#include <QSet>
#include <QString>
#include <QTextBrowser>
#include <QUrl>

#include "article_folder.h"
#include "page_loading.h"

namespace windows {

// What one page may pull in besides itself.
inline constexpr qint64 kMaxResourceBytes = 8 * 1024 * 1024;
inline constexpr qint64 kMaxPageResourceBytes = 32 * 1024 * 1024;
// Pixels of one image, and of all the images of a page, once decoded (4 bytes each).
inline constexpr qint64 kMaxImagePixels = 16 * 1024 * 1024;
inline constexpr qint64 kMaxPagePixels = 64 * 1024 * 1024;
// Style sheets of one page in all, imported ones included: a page of articles needs a few
// kilobytes of style, and every byte is read by our style subset and then by the view.
inline constexpr qint64 kMaxPageStyleBytes = 1024 * 1024;
// Sheets importing sheets: how deep the viewer follows them.
inline constexpr int kMaxImportDepth = 4;

// A QTextBrowser whose pages and resources all come through here. Pages are decoded by
// DecodePage and prepared by PreparePage; a missing or unreadable page shows our own page.
// Images, style sheets and anything else a page names load only from regular files inside
// the article folder, each within kMaxResourceBytes and all of a page's within
// kMaxPageResourceBytes (style sheets within kMaxPageStyleBytes); nothing remote loads.
// A refused resource is left out.
class ArticleBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit ArticleBrowser(QWidget* parent = nullptr);

    void SetArticleFolder(const QString& root) { folder_ = article::ArticleFolder(root); }
    const article::ArticleFolder& Folder() const { return folder_; }

    // Shows a page already read at the given address; the address goes into the history
    // as setSource would put it there. Going back to that address later reads it again.
    void Open(const QUrl& url, QString html, const PageShape& shape = {});
    // Shows our own page at the address; going back to it shows the same page again.
    void Explain(const QUrl& url, QString html);

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    QVariant LoadPageResource(const QUrl& url);
    QVariant LoadImage(const QByteArray& bytes);
    struct StyleSheet {
        QString css;
        qint64 selectors = 0;
        qint64 declarations = 0;
    };
    // The kept part of a sheet, with what it imports from the article folder in its place;
    // false once the page's sheets no longer fit its elements.
    bool AppendStyleSheet(const QUrl& url, const QByteArray& bytes, int depth, StyleSheet& sheet);
    QVariant LoadStyleSheet(const QUrl& url, const QByteArray& bytes);
    // What the page may still read of a resource of this type, and taking what it read.
    qint64 ResourceRoom(int type) const;
    void Take(qint64 bytes, int type);
    void StartPage(const PageShape& shape);

    article::ArticleFolder folder_;
    QUrl pendingUrl_;
    QString pendingHtml_;
    PageShape pendingShape_;
    // Addresses that showed our own page instead of what they name, and those opened.
    QHash<QUrl, QString> explained_;
    QSet<QUrl> opened_;
    // What the page being shown has taken so far.
    PageShape pageShape_;
    qint64 pageBytes_ = 0;
    qint64 pageStyleBytes_ = 0;
    qint64 pagePixels_ = 0;
    qint64 pageSelectors_ = 0;
    qint64 pageDeclarations_ = 0;
};

}  // namespace windows
