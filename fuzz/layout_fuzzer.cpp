// Feeds arbitrary bytes through everything the viewer does with an article page: reading
// it from the article folder, decoding and preparing it, Qt's HTML parser, the layout at
// the viewer's width and one paint of the first screen, offscreen. Run with -timeout=2 and
// -rss_limit_mb=1024: a page that takes longer or more memory is a finding.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextDocument>

#include "article_browser.h"
#include "document_tables.h"
#include "page_loading.h"

namespace {

// The viewer's client area at its specified outer size, less its frame and button panel.
constexpr int kViewWidth = 780;
constexpr int kViewHeight = 520;

struct Viewer {
    QTemporaryDir dir;
    QString page;
};

Viewer* viewer = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);  // never destroyed: its devices outlive the exit handlers
    viewer = new Viewer;
    if (!viewer->dir.isValid() || !QDir(viewer->dir.path()).mkdir(QStringLiteral("bio")))
        std::abort();
    // A picture and a style sheet for the inputs to name.
    const QString bio = viewer->dir.filePath(QStringLiteral("bio"));
    QImage dot(8, 8, QImage::Format_RGB32);
    dot.fill(Qt::blue);
    if (!dot.save(bio + QStringLiteral("/dot.png"))) std::abort();
    QFile css(bio + QStringLiteral("/style.css"));
    if (!css.open(QIODevice::WriteOnly) || css.write("p { color: #333 } .note { margin: 4px }") < 0)
        std::abort();
    viewer->page = bio + QStringLiteral("/page.html");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > static_cast<std::size_t>(article::kMaxPageBytes)) return 0;
    {
        QFile file(viewer->page);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        if (file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            std::abort();
    }
    windows::LoadedPage page = windows::LoadPage(viewer->page);
    if (page.status != windows::PageStatus::Loaded) return 0;
    const article::PageShape measured = page.shape;
    windows::ArticleBrowser browser;
    browser.SetArticleFolder(viewer->dir.filePath(QStringLiteral("bio")));
    browser.resize(kViewWidth, kViewHeight);
    browser.Open(QUrl::fromLocalFile(viewer->page), std::move(page.html), page.shape);
    // The limits hold for what the view builds only if its tables nest no deeper and have
    // no more grid positions than the preparation counted.
    const document_tables::Tables built =
        document_tables::TablesIn(browser.document()->rootFrame());
    if (built.depth > measured.tableDepth || built.positions > measured.tableCells) std::abort();
    browser.show();
    QCoreApplication::processEvents();
    browser.document()->documentLayout()->documentSize();
    // What the viewer paints on screen: the view with its scroll bars, into an image.
    QImage screen(browser.size(), QImage::Format_RGB32);
    browser.render(&screen);
    return 0;
}
