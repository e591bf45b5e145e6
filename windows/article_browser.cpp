#include "article_browser.h"

#include <utility>

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QTextDocument>

#include "file_reading.h"
#include "link_policy.h"
#include "style_subset.h"

namespace windows {

namespace {

QUrl WithoutFragment(const QUrl& url) { return url.adjusted(QUrl::RemoveFragment); }

// What a refused resource becomes. It must not be empty: the view would then fetch the
// file itself, and for an image it would try the name as a file once more.
QVariant Refused(int type) {
    if (type == QTextDocument::ImageResource) {
        QImage nothing(1, 1, QImage::Format_ARGB32);
        nothing.fill(Qt::transparent);
        return nothing;
    }
    if (type == QTextDocument::StyleSheetResource || type == QTextDocument::HtmlResource)
        return QString();
    return QByteArray();
}

}  // namespace

ArticleBrowser::ArticleBrowser(QWidget* parent) : QTextBrowser(parent) {}

void ArticleBrowser::Open(const QUrl& url, QString html, const PageShape& shape) {
    pendingUrl_ = WithoutFragment(url);
    pendingHtml_ = std::move(html);
    pendingShape_ = shape;
    opened_.insert(pendingUrl_);
    explained_.remove(pendingUrl_);
    if (WithoutFragment(source()) == pendingUrl_) {
        // setSource would only scroll; the page is read again as a browser would.
        reload();
        if (url.hasFragment()) scrollToAnchor(url.fragment());
    } else {
        setSource(url, QTextDocument::HtmlResource);
    }
    pendingUrl_.clear();
    pendingHtml_.clear();
}

void ArticleBrowser::Explain(const QUrl& url, QString html) {
    const QString kept = html;
    Open(url, std::move(html));
    explained_.insert(WithoutFragment(url), kept);
}

void ArticleBrowser::StartPage(const PageShape& shape) {
    pageShape_ = shape;
    pageBytes_ = 0;
    pageStyleBytes_ = 0;
    pagePixels_ = 0;
    pageSelectors_ = shape.styleSelectors;
    pageDeclarations_ = shape.styleDeclarations;
}

QVariant ArticleBrowser::LoadPageResource(const QUrl& url) {
    const QUrl page = WithoutFragment(url);
    if (!pendingUrl_.isEmpty() && page == pendingUrl_) {
        pendingUrl_.clear();
        StartPage(pendingShape_);
        return std::exchange(pendingHtml_, QString());
    }
    // Back, Forward and Reload: the same decision as when the address was first shown.
    if (const auto explained = explained_.constFind(page); explained != explained_.cend()) {
        StartPage({});
        return *explained;
    }
    const QString path = url.toLocalFile();
    if (!opened_.contains(page) && folder_.Inside(path).isEmpty()) {
        StartPage({});
        return article::OwnPage(QStringLiteral("Страница не показана"),
                                QStringLiteral("Страница лежит за пределами папки статей:"), path);
    }
    LoadedPage loaded = LoadPage(path);
    StartPage(loaded.shape);
    return loaded.html;
}

QVariant ArticleBrowser::LoadImage(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(static_cast<int>(kMaxImagePixels * 4 / (1024 * 1024)));
    const QSize size = reader.size();
    if (!size.isValid()) return Refused(QTextDocument::ImageResource);
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels > kMaxImagePixels || pagePixels_ + pixels > kMaxPagePixels)
        return Refused(QTextDocument::ImageResource);
    QImage image = reader.read();
    if (image.isNull()) return Refused(QTextDocument::ImageResource);
    pagePixels_ += pixels;
    return image;
}

bool ArticleBrowser::AppendStyleSheet(const QUrl& url, const QByteArray& bytes, int depth,
                                      StyleSheet& sheet) {
    const article::StyleSubset subset = article::KeepStyleSubset(QString::fromUtf8(bytes));
    // What a sheet imports comes first, as if written where the @import stands.
    for (const QString& import : subset.imports) {
        if (depth >= kMaxImportDepth) break;
        const QUrl target = url.resolved(QUrl(import));
        if (!target.isLocalFile()) continue;
        const QString real = folder_.Inside(target.toLocalFile());
        if (real.isEmpty()) continue;
        const article::FileRead read =
            article::ReadRegularFile(real, ResourceRoom(QTextDocument::StyleSheetResource));
        if (read.status != article::FileStatus::Read) continue;
        Take(read.bytes.size(), QTextDocument::StyleSheetResource);
        if (!AppendStyleSheet(target, read.bytes, depth + 1, sheet)) return false;
    }
    sheet.css += subset.css;
    sheet.selectors += subset.selectors;
    sheet.declarations += subset.declarations;
    return article::StyleFits(pageSelectors_ + sheet.selectors,
                              pageDeclarations_ + sheet.declarations, pageShape_);
}

QVariant ArticleBrowser::LoadStyleSheet(const QUrl& url, const QByteArray& bytes) {
    StyleSheet sheet;
    if (!AppendStyleSheet(url, bytes, 0, sheet)) return Refused(QTextDocument::StyleSheetResource);
    pageSelectors_ += sheet.selectors;
    pageDeclarations_ += sheet.declarations;
    return sheet.css;
}

qint64 ArticleBrowser::ResourceRoom(int type) const {
    qint64 room = std::min(kMaxResourceBytes, kMaxPageResourceBytes - pageBytes_);
    if (type == QTextDocument::StyleSheetResource)
        room = std::min(room, kMaxPageStyleBytes - pageStyleBytes_);
    return std::max<qint64>(0, room);
}

void ArticleBrowser::Take(qint64 bytes, int type) {
    pageBytes_ += bytes;
    if (type == QTextDocument::StyleSheetResource) pageStyleBytes_ += bytes;
}

QVariant ArticleBrowser::loadResource(int type, const QUrl& name) {
    const QUrl url = name.isRelative() ? source().resolved(name) : name;
    if (!url.isLocalFile()) return Refused(type);
    if (type == QTextDocument::HtmlResource) return LoadPageResource(url);

    const QString real = folder_.Inside(url.toLocalFile());
    if (real.isEmpty()) return Refused(type);
    const article::FileRead read = article::ReadRegularFile(real, ResourceRoom(type));
    if (read.status != article::FileStatus::Read) return Refused(type);
    Take(read.bytes.size(), type);
    switch (type) {
    case QTextDocument::ImageResource:
        return LoadImage(read.bytes);
    case QTextDocument::StyleSheetResource:
        return LoadStyleSheet(url, read.bytes);
    default:
        return Refused(type);
    }
}

}  // namespace windows
