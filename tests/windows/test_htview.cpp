// The article viewer: reading pages in their encodings, our own page for a missing one,
// find-in-page, links, history, zoom and the window's reuse.
#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QComboBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>
#include <QAbstractTextDocumentLayout>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <cmath>
#include <utility>

#include "find_bar.h"
#include "htview.h"
#include "markup_whitelist.h"
#include "article_browser.h"
#include "page_fixtures.h"
#include "panel.h"
#include "special_files.h"
#include "window_test_support.h"

using page_fixtures::Cp1251;
using page_fixtures::Utf16;
using windows::FindBar;
using windows::Thtv;

namespace {

const QString kArticle = QStringLiteral("Грипп — острая вирусная инфекция. Ёлка и щётка.");

QString Page(const QString& body, const QString& head = {}) {
    return QStringLiteral("<html><head>%1<title>Статья</title></head><body>%2</body></html>")
        .arg(head, body);
}

void Write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A file that is no regular file, named with this extension in folder: a FIFO made there,
// or a device name that needs nothing made.
QString NonRegular(const QString& folder, const QString& extension) {
    const QString path = folder + u'/' + special_files::NonRegularName(extension);
    [&] { QVERIFY2(special_files::MakeNonRegular(path), qPrintable(path)); }();
    return path;
}

// Where the system makes no symbolic links for this user (Wine makes none), the cases about
// them cannot run; the rest still do.
constexpr const char* kNoLinks = "this system makes no symbolic links for this user";

QByteArray PngBytes(int side, Qt::GlobalColor colour) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The size of the image the view holds for this address, as it would draw it.
QSize ImageSize(QTextBrowser* view, const QString& src) {
    const QVariant resource = view->document()->resource(QTextDocument::ImageResource, QUrl(src));
    if (resource.userType() == QMetaType::QImage) return resource.value<QImage>().size();
    if (resource.userType() == QMetaType::QPixmap) return resource.value<QPixmap>().size();
    if (resource.userType() == QMetaType::QByteArray)
        return QImage::fromData(resource.toByteArray()).size();
    return {};
}

// Where the link to href sits in the view, in viewport coordinates.
QPoint LinkPoint(QTextBrowser* view, const QString& href) {
    QTextDocument* document = view->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() == href) {
                QTextCursor cursor(document);
                cursor.setPosition(fragment.position() + fragment.length() / 2);
                return view->cursorRect(cursor).center();
            }
        }
    }
    return {-1, -1};
}

void ClickLink(QTextBrowser* view, const QString& href) {
    const QPoint point = LinkPoint(view, href);
    QVERIFY2(point.x() >= 0, qPrintable(href));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, point);
}

// Types text as key presses carrying the characters, Cyrillic included.
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void PressMouse(QWidget* widget, Qt::MouseButton button) {
    const QPoint centre = widget->rect().center();
    QMouseEvent press(QEvent::MouseButtonPress, centre, widget->mapToGlobal(centre), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, widget->mapToGlobal(centre), button,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

// A dark colour scheme as desktop themes set one.
QPalette DarkPalette() {
    QPalette dark;
    const QColor window(53, 53, 53), base(61, 61, 61), text(230, 230, 230);
    for (const auto& [role, colour] :
         {std::pair{QPalette::Window, window}, std::pair{QPalette::Base, base},
          std::pair{QPalette::AlternateBase, window}, std::pair{QPalette::Button, window},
          std::pair{QPalette::WindowText, text}, std::pair{QPalette::Text, text},
          std::pair{QPalette::ButtonText, text}, std::pair{QPalette::Link, QColor(42, 130, 218)}}) {
        dark.setColor(role, colour);
    }
    return dark;
}

double Luminance(QRgb pixel) {
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(pixel)) + 0.7152 * channel(qGreen(pixel)) +
           0.0722 * channel(qBlue(pixel));
}

double Contrast(QRgb a, QRgb b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The commonest colour in an area of an image, taken as its background, and the contrast
// of the text drawn on it: the pixel farthest from the background (the core of a glyph).
struct TextOnBackground {
    QColor background;
    double contrast = 0;
};

TextOnBackground Measure(const QImage& image, const QRect& area) {
    QHash<QRgb, int> counts;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000u];
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    }
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, Contrast(it.key(), background));
    return {QColor(background), best};
}

// The first line of the page's first paragraph of ordinary text, in viewport coordinates.
QRect FirstParagraphLine(QTextBrowser* view) {
    QTextDocument* document = view->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() != 0 || block.text().trimmed().size() < 20) continue;
        if (QTextCursor(block).currentTable()) continue;
        const QRectF bounds = document->documentLayout()->blockBoundingRect(block);
        const QTextLine line = block.layout()->lineAt(0);
        return QRectF(bounds.left() + line.x(), bounds.top() + line.y(), line.naturalTextWidth(),
                      line.height())
            .toAlignedRect()
            .translated(-view->horizontalScrollBar()->value(), -view->verticalScrollBar()->value());
    }
    return {};
}

// Sets a palette on the application for as long as it lives.
class ApplicationPalette {
public:
    explicit ApplicationPalette(const QPalette& palette) : saved_(QApplication::palette()) {
        QApplication::setPalette(palette);
    }
    ~ApplicationPalette() { QApplication::setPalette(saved_); }
    ApplicationPalette(const ApplicationPalette&) = delete;
    ApplicationPalette& operator=(const ApplicationPalette&) = delete;

private:
    QPalette saved_;
};

using window_testing::ModalCatcher;
using window_testing::UrlRecorder;

}  // namespace

class TestHtview : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsPagesInTheirEncodings_data();
    void showsPagesInTheirEncodings();
    void sampleArticlesReadWithoutGarbling();
    void windowLook();
    void unreadablePagesShowOurOwnPage_data();
    void unreadablePagesShowOurOwnPage();
    void refusedPagesGoToErrorReport_data();
    void refusedPagesGoToErrorReport();
    void strangePagesAtTheLimitsAreShown_data();
    void strangePagesAtTheLimitsAreShown();
    void relativeImageLoads();
    void findCountsAndStepsThroughMatches();
    void findNothingShowsCueAndEscapeClears();
    void findFollowsThePage();
    void secondPageReusesTheWindow();
    void samePageAgainIsReadAgain();
    void closeAndReopenKeepsSizeAndPlace();
    void externalLinksGoToTheDesktop();
    void internalLinksAndHistory();
    void zoomKeysAndWheel();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void ctrlWHidesLikeTheCloseBox_data();
    void ctrlWHidesLikeTheCloseBox();
    void accessibleRole();
    void articleIsAReadableDocument();
    void hostileResourcesAreLeftOut_data();
    void hostileResourcesAreLeftOut();
    void styleSheetsOnlyFromTheArticleFolder();
    void pageGivenOutsideTheFolderIsShown();
    void hostileLinksAreNotFollowed_data();
    void hostileLinksAreNotFollowed();
    void preparedPagesReadAsMeasured_data();
    void preparedPagesReadAsMeasured();
    void hostilePagesAreShownWithinBoundsOrRefused_data();
    void hostilePagesAreShownWithinBoundsOrRefused();
    void ctrlPOpensThePrintDialogWithPdf();
    void printsThePageAsPdf();
    void readableUnderADarkPalette_data();
    void readableUnderADarkPalette();
    void findBarReadableUnderADarkPalette();

private:
    QString Fixture(const QString& name, const QByteArray& bytes);
    void ShowActive(const QString& page);

    QTemporaryDir dir_;
    Thtv* viewer_ = nullptr;
};

QString TestHtview::Fixture(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    Write(path, bytes);
    return path;
}

void TestHtview::ShowActive(const QString& page) {
    viewer_->ShowHT(page);
    QVERIFY(viewer_->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(viewer_));
}

void TestHtview::init() {
    QVERIFY(dir_.isValid());
    viewer_ = new Thtv(dir_.filePath(QStringLiteral("bio")));
}

void TestHtview::cleanup() {
    delete viewer_;
    viewer_ = nullptr;
}

void TestHtview::showsPagesInTheirEncodings_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QString body = QStringLiteral("<h1>Грипп</h1><p>") + kArticle + QStringLiteral("</p>");
    QTest::newRow("UTF-8 with meta charset")
        << Page(body,
                QStringLiteral(
                    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"))
               .toUtf8();
    QTest::newRow("Windows-1251 without charset") << Cp1251(Page(body));
    QTest::newRow("Windows-1251 with charset") << Cp1251(
        Page(body, QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; "
                                  "charset=windows-1251\">")));
}

void TestHtview::showsPagesInTheirEncodings() {
    QFETCH(QByteArray, bytes);
    const QString path = Fixture(QStringLiteral("article.html"), bytes);
    viewer_->ShowHT(path);
    QVERIFY(viewer_->isVisible());
    QVERIFY(!viewer_->isModal());
    const QString text = viewer_->wb1->toPlainText();
    QVERIFY2(text.contains(kArticle), qPrintable(text));
    QCOMPARE(viewer_->wb1->source(), QUrl::fromLocalFile(path));
    QCOMPARE(viewer_->wb1->documentTitle(), QStringLiteral("Статья"));
}

void TestHtview::sampleArticlesReadWithoutGarbling() {
    const QDir bio(QStringLiteral(TSL_SOURCE_DIR "/data/bio"));
    const QStringList pages = bio.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
    if (pages.isEmpty()) QSKIP("no sample articles in data/bio");
    for (const QString& name : pages) {
        viewer_->ShowHT(bio.filePath(name));
        const QString text = viewer_->wb1->toPlainText();
        // UTF-8 read as Windows-1251 turns every Russian letter into "Р" or "С" and another.
        QVERIFY2(!text.contains(QChar::ReplacementCharacter), qPrintable(name));
        QVERIFY2(text.contains(QStringLiteral(" и ")) || text.contains(QStringLiteral(" в ")),
                 qPrintable(name));
        QVERIFY2(!viewer_->wb1->documentTitle().isEmpty(), qPrintable(name));
    }
}

void TestHtview::windowLook() {
    QCOMPARE(viewer_->objectName(), QStringLiteral("htv"));
    QCOMPARE(viewer_->windowTitle(), QStringLiteral("Просмотр"));
    QVERIFY(viewer_->isWindow());
    viewer_->ShowHT(Fixture(QStringLiteral("a.html"), Page(QStringLiteral("a")).toUtf8()));
    QCOMPARE(viewer_->frameGeometry().size(), QSize(800, 600));
    QCOMPARE(viewer_->Button1->text(), QStringLiteral("Найти на странице"));
    QCOMPARE(viewer_->Button1->geometry(), QRect(6, 6, 131, 25));
    QCOMPARE(viewer_->Panel1->geometry(), QRect(0, 0, viewer_->width(), 41));
    QCOMPARE(viewer_->wb1->geometry(), QRect(0, 41, viewer_->width(), viewer_->height() - 41));
    QCOMPARE(viewer_->Panel1->palette().color(QPalette::Window), QColor(255, 251, 240));
    QVERIFY(viewer_->FindBar1->isHidden());
    for (QWidget* control :
         {static_cast<QWidget*>(viewer_->wb1), static_cast<QWidget*>(viewer_->Button1),
          static_cast<QWidget*>(viewer_->FindBar1->FindEdit),
          static_cast<QWidget*>(viewer_->FindBar1->FindNextButton),
          static_cast<QWidget*>(viewer_->FindBar1->FindPrevButton),
          static_cast<QWidget*>(viewer_->FindBar1->FindCloseButton)}) {
        QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
    }
}

void TestHtview::unreadablePagesShowOurOwnPage_data() {
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("heading");
    QTest::newRow("missing file") << QStringLiteral("bio/нет-такой.html")
                                  << QStringLiteral("Страница не найдена");
    QTest::newRow("missing folder")
        << QStringLiteral("nowhere/x.html") << QStringLiteral("Страница не найдена");
    QTest::newRow("a folder, not a page")
        << QStringLiteral("bio") << QStringLiteral("Страница не открывается");
}

void TestHtview::unreadablePagesShowOurOwnPage() {
    QFETCH(QString, relative);
    QFETCH(QString, heading);
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("bio")));
    const QString path = dir_.filePath(relative);
    viewer_->ShowHT(path);
    QVERIFY(viewer_->isVisible());
    const QString text = viewer_->wb1->toPlainText();
    QVERIFY2(text.contains(heading), qPrintable(text));
    QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
}

void TestHtview::refusedPagesGoToErrorReport_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("larger than the limit")
        << QByteArray(windows::kMaxPageBytes + 1, ' ') << QStringLiteral("слишком велика");
    QTest::newRow("tables nested too deep")
        << QStringLiteral("<table><tr><td>x").repeated(windows::kMaxTableDepth + 1).toUtf8()
        << QStringLiteral("слишком сложна");
    QTest::newRow("elements nested too deep")
        << QStringLiteral("<div>а").repeated(windows::kMaxElementDepth + 1).toUtf8()
        << QStringLiteral("слишком сложна");
}

void TestHtview::refusedPagesGoToErrorReport() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString small =
        Fixture(QStringLiteral("small.html"), Page(QStringLiteral("Маленькая")).toUtf8());
    const QString bad = Fixture(QStringLiteral("bad.html"), bytes);

    // Hidden viewer: the report comes, the viewer stays hidden.
    {
        ModalCatcher catcher;
        viewer_->ShowHT(bad);
        QCOMPARE(catcher.Name(), QStringLiteral("ErrorReport"));
        QVERIFY2(catcher.Text().contains(reason), qPrintable(catcher.Text()));
        QVERIFY2(catcher.Text().contains(QDir::toNativeSeparators(bad)),
                 qPrintable(catcher.Text()));
        QVERIFY(!viewer_->isVisible());
    }
    // Shown viewer: the page it shows stays, and so does its history.
    viewer_->ShowHT(small);
    {
        ModalCatcher catcher;
        viewer_->ShowHT(bad);
        QCOMPARE(catcher.Name(), QStringLiteral("ErrorReport"));
    }
    QVERIFY(viewer_->isVisible());
    QCOMPARE(viewer_->wb1->source(), QUrl::fromLocalFile(small));
    QVERIFY(viewer_->wb1->toPlainText().contains(QStringLiteral("Маленькая")));
    QVERIFY(!viewer_->wb1->isBackwardAvailable());
}

void TestHtview::strangePagesAtTheLimitsAreShown_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("zero bytes up to the size limit") << QByteArray(windows::kMaxPageBytes, '\0');
    QTest::newRow("one word up to the size limit") << QByteArray(windows::kMaxPageBytes, 'w');
    QTest::newRow("tables nested to the limit")
        << QStringLiteral("<table border=1><tr><td>x").repeated(windows::kMaxTableDepth).toUtf8();
    QTest::newRow("lists nested to the limit")
        << QStringLiteral("<ul><li>x").repeated(windows::kMaxElementDepth / 2).toUtf8();
    QTest::newRow("random bytes") << [] {
        QByteArray bytes(256 * 1024, '\0');
        quint32 state = 12345;
        for (char& byte : bytes) {
            state = state * 1664525u + 1013904223u;
            byte = static_cast<char>(state >> 24);
        }
        return bytes;
    }();
}

void TestHtview::strangePagesAtTheLimitsAreShown() {
    QFETCH(QByteArray, bytes);
    const QString path = Fixture(QStringLiteral("strange.html"), bytes);
    viewer_->ShowHT(path);
    QVERIFY(viewer_->isVisible());
    QCOMPARE(viewer_->wb1->source(), QUrl::fromLocalFile(path));
    viewer_->FindBar1->Open();
    viewer_->FindBar1->FindEdit->setText(QStringLiteral("x"));
    viewer_->FindBar1->FindNext();
    viewer_->ZoomIn();
}

void TestHtview::relativeImageLoads() {
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("bio/pics")));
    QVERIFY(image.save(dir_.filePath(QStringLiteral("bio/pics/dot.png"))));
    const QString path = Fixture(QStringLiteral("bio/page.html"),
                                 Page(QStringLiteral("<img src=\"pics/dot.png\">")).toUtf8());
    viewer_->ShowHT(path);
    const QVariant resource = viewer_->wb1->document()->resource(
        QTextDocument::ImageResource, QUrl(QStringLiteral("pics/dot.png")));
    QImage loaded;
    if (resource.userType() == QMetaType::QByteArray) {
        QVERIFY(loaded.loadFromData(resource.toByteArray()));
    } else {
        loaded = resource.value<QImage>();
    }
    QCOMPARE(loaded.size(), QSize(4, 4));
}

void TestHtview::findCountsAndStepsThroughMatches() {
    // Windows-1251 without charset, matches in every letter case, one inside a longer word
    // and one across a change of formatting.
    const QString path = Fixture(
        QStringLiteral("gripp.html"),
        Cp1251(Page(QStringLiteral("<h1>Грипп</h1><p>При гриппе и простуде. ГРИПП опасен.</p>"
                                   "<p>Прививка от <b>гр</b>иппа.</p><p>грипп</p>"))));
    ShowActive(path);
    FindBar* bar = viewer_->FindBar1;

    QTest::keyClick(viewer_, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar->isVisible());
    QCOMPARE(QApplication::focusWidget(), bar->FindEdit);
    Type(bar->FindEdit, QStringLiteral("ГРИПП"));
    QCOMPARE(bar->FindCount->text(), QStringLiteral("1 из 5"));
    const QList<QTextEdit::ExtraSelection> highlights = viewer_->wb1->extraSelections();
    QCOMPARE(highlights.size(), 5);
    for (const auto& highlight : highlights) {
        QCOMPARE(highlight.cursor.selectedText().toLower(), QStringLiteral("грипп"));
    }

    struct Key {
        int key;
        Qt::KeyboardModifiers modifiers;
        QWidget* target;
        const char* counter;
    };
    const Key keys[] = {
        {Qt::Key_Return, Qt::NoModifier, bar->FindEdit, "2 из 5"},
        {Qt::Key_Return, Qt::ShiftModifier, bar->FindEdit, "1 из 5"},
        {Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier, bar->FindEdit,
         "5 из 5"},                                                 // wraps back
        {Qt::Key_Return, Qt::NoModifier, bar->FindEdit, "1 из 5"},  // wraps on
        {Qt::Key_F3, Qt::NoModifier, viewer_->wb1, "2 из 5"},
        {Qt::Key_F3, Qt::NoModifier, viewer_->wb1, "3 из 5"},
        {Qt::Key_F3, Qt::ShiftModifier, bar->FindEdit, "2 из 5"},
    };
    for (const Key& key : keys) {
        QTest::keyClick(key.target, static_cast<Qt::Key>(key.key), key.modifiers);
        QCOMPARE(bar->FindCount->text(), QString::fromUtf8(key.counter));
    }
    // The current match is the one the view was moved to.
    QCOMPARE(viewer_->wb1->textCursor().position(), highlights[1].cursor.selectionStart());

    bar->FindNextButton->click();
    QCOMPARE(bar->FindCount->text(), QStringLiteral("3 из 5"));
    bar->FindPrevButton->click();
    QCOMPARE(bar->FindCount->text(), QStringLiteral("2 из 5"));

    // Typing on keeps the place where possible: "гриппа" matches only in "гриппа".
    Type(bar->FindEdit, QStringLiteral("а"));
    QCOMPARE(bar->FindCount->text(), QStringLiteral("1 из 1"));
    QTest::keyClick(bar->FindEdit, Qt::Key_Backspace);
    QCOMPARE(bar->FindCount->text(), QStringLiteral("4 из 5"));
}

void TestHtview::findNothingShowsCueAndEscapeClears() {
    const QString path = Fixture(QStringLiteral("p.html"),
                                 Page(QStringLiteral("<p>Простуда и кашель.</p>")).toUtf8());
    ShowActive(path);
    FindBar* bar = viewer_->FindBar1;
    const QColor normal = bar->FindEdit->palette().color(QPalette::Base);

    QTest::mouseClick(viewer_->Button1, Qt::LeftButton);
    QVERIFY(bar->isVisible());
    QCOMPARE(QApplication::focusWidget(), bar->FindEdit);
    Type(bar->FindEdit, QStringLiteral("КАШ"));
    QCOMPARE(bar->FindCount->text(), QStringLiteral("1 из 1"));
    QCOMPARE(bar->FindEdit->palette().color(QPalette::Base), normal);

    Type(bar->FindEdit, QStringLiteral("ЕЛЬЖ"));
    QCOMPARE(bar->FindCount->text(), QStringLiteral("Не найдено"));
    const QColor cue = bar->FindEdit->palette().color(QPalette::Base);
    QVERIFY(cue != normal);
    QVERIFY(cue.red() > cue.green() + 30);
    QVERIFY(viewer_->wb1->extraSelections().isEmpty());
    QTest::keyClick(bar->FindEdit, Qt::Key_Return);  // nothing to step to; nothing breaks
    QCOMPARE(bar->FindCount->text(), QStringLiteral("Не найдено"));

    QTest::keyClick(bar->FindEdit, Qt::Key_Backspace);
    QCOMPARE(viewer_->wb1->extraSelections().size(), 1);
    QTest::keyClick(bar->FindEdit, Qt::Key_Escape);
    QVERIFY(bar->isHidden());
    QVERIFY(viewer_->wb1->extraSelections().isEmpty());
    QCOMPARE(QApplication::focusWidget(), viewer_->wb1);
    QVERIFY(viewer_->isVisible());  // Escape closes the bar, not the window

    // Ctrl+F again brings back the search with its text selected, ready to be replaced.
    QTest::keyClick(viewer_->wb1, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->FindEdit->selectedText(), QStringLiteral("КАШЕЛЬ"));
    QCOMPARE(bar->FindCount->text(), QStringLiteral("1 из 1"));
    QTest::keyClick(bar->FindEdit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(bar->FindEdit, Qt::Key_Delete);
    QCOMPARE(bar->FindCount->text(), QString());
    QVERIFY(viewer_->wb1->extraSelections().isEmpty());
}

void TestHtview::findFollowsThePage() {
    const QString first =
        Fixture(QStringLiteral("one.html"), Page(QStringLiteral("Грипп, грипп.")).toUtf8());
    const QString second =
        Fixture(QStringLiteral("two.html"), Page(QStringLiteral("грипп")).toUtf8());
    ShowActive(first);
    viewer_->Button1Click();
    viewer_->FindBar1->FindEdit->setText(QStringLiteral("грипп"));
    QCOMPARE(viewer_->FindBar1->FindCount->text(), QStringLiteral("1 из 2"));
    viewer_->ShowHT(second);
    QCOMPARE(viewer_->FindBar1->FindCount->text(), QStringLiteral("1 из 1"));
    QCOMPARE(viewer_->wb1->extraSelections().size(), 1);
    QTest::keyClick(viewer_, Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(viewer_->wb1->source(), QUrl::fromLocalFile(first));
    QCOMPARE(viewer_->FindBar1->FindCount->text(), QStringLiteral("1 из 2"));
}

void TestHtview::secondPageReusesTheWindow() {
    const QString first =
        Fixture(QStringLiteral("first.html"), Page(QStringLiteral("Первая")).toUtf8());
    const QString second =
        Fixture(QStringLiteral("second.html"), Cp1251(Page(QStringLiteral("Вторая"))));
    const auto windows = QApplication::topLevelWidgets().size();
    viewer_->ShowHT(first);
    viewer_->resize(700, 500);
    viewer_->ShowHT(second);
    QVERIFY(viewer_->isVisible());
    QCOMPARE(QApplication::topLevelWidgets().size(), windows);
    QCOMPARE(viewer_->size(), QSize(700, 500));
    QCOMPARE(viewer_->wb1->toPlainText(), QStringLiteral("Вторая"));
    QVERIFY(viewer_->wb1->isBackwardAvailable());
}

void TestHtview::samePageAgainIsReadAgain() {
    const QString path =
        Fixture(QStringLiteral("same.html"), Page(QStringLiteral("Старый текст")).toUtf8());
    viewer_->ShowHT(path);
    Write(path, Cp1251(Page(QStringLiteral("Новый текст"))));
    viewer_->ShowHT(path);
    QCOMPARE(viewer_->wb1->toPlainText(), QStringLiteral("Новый текст"));
    QVERIFY(!viewer_->wb1->isBackwardAvailable());
}

void TestHtview::closeAndReopenKeepsSizeAndPlace() {
    const QString first =
        Fixture(QStringLiteral("first.html"), Page(QStringLiteral("Первая")).toUtf8());
    const QString second =
        Fixture(QStringLiteral("second.html"), Page(QStringLiteral("Вторая")).toUtf8());
    viewer_->ShowHT(first);
    const QRect placed(40, 30, 620, 430);
    viewer_->setGeometry(placed);
    QVERIFY(viewer_->close());
    QVERIFY(!viewer_->isVisible());
    viewer_->ShowHT(second);
    QVERIFY(viewer_->isVisible());
    QCOMPARE(viewer_->geometry(), placed);
    QCOMPARE(viewer_->wb1->toPlainText(), QStringLiteral("Вторая"));
}

void TestHtview::externalLinksGoToTheDesktop() {
    UrlRecorder recorder;
    for (const char* scheme : {"http", "https", "mailto"}) {
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &recorder, "open");
    }
    const QString path =
        Fixture(QStringLiteral("links.html"),
                Page(QStringLiteral("<p><a href=\"http://example.org/a\">сайт</a></p>"
                                    "<p><a href=\"https://www.who.int/ru\">ВОЗ</a></p>"
                                    "<p><a href=\"mailto:doctor@example.org\">письмо</a></p>"))
                    .toUtf8());
    ShowActive(path);
    for (const char* href :
         {"http://example.org/a", "https://www.who.int/ru", "mailto:doctor@example.org"}) {
        ClickLink(viewer_->wb1, QString::fromLatin1(href));
    }
    for (const char* scheme : {"http", "https", "mailto"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));

    const QList<QUrl> expected{QUrl(QStringLiteral("http://example.org/a")),
                               QUrl(QStringLiteral("https://www.who.int/ru")),
                               QUrl(QStringLiteral("mailto:doctor@example.org"))};
    QCOMPARE(recorder.urls, expected);
    QCOMPARE(viewer_->wb1->source(), QUrl::fromLocalFile(path));
    QVERIFY(viewer_->wb1->toPlainText().contains(QStringLiteral("ВОЗ")));
}

void TestHtview::internalLinksAndHistory() {
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    const QString start = Fixture(
        QStringLiteral("bio/start.html"),
        Page(QStringLiteral(
                 "<p><a href=\"more/next.html\">дальше</a> <a href=\"missing.html\">нет</a> "
                 "<a href=\"pic.png\">картинка</a></p>"))
            .toUtf8());
    const QString next = Fixture(
        QStringLiteral("bio/more/next.html"),
        Cp1251(Page(QStringLiteral("<p>Следующая <a href=\"../start.html\">назад</a></p>"))));
    ShowActive(start);

    ClickLink(viewer_->wb1, QStringLiteral("more/next.html"));
    QCOMPARE(viewer_->wb1->source(), QUrl::fromLocalFile(next));
    QVERIFY(viewer_->wb1->toPlainText().contains(QStringLiteral("Следующая")));

    QTest::keyClick(viewer_->wb1, Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(viewer_->wb1->source(), QUrl::fromLocalFile(start));
    QTest::keyClick(viewer_->Button1, Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(viewer_->wb1->source(), QUrl::fromLocalFile(next));
    PressMouse(viewer_->wb1->viewport(), Qt::BackButton);
    QCOMPARE(viewer_->wb1->source(), QUrl::fromLocalFile(start));
    PressMouse(viewer_->wb1->viewport(), Qt::ForwardButton);
    QCOMPARE(viewer_->wb1->source(), QUrl::fromLocalFile(next));
    PressMouse(viewer_->Panel1, Qt::BackButton);
    QCOMPARE(viewer_->wb1->source(), QUrl::fromLocalFile(start));

    // A link to a page that is not there shows our page; Back returns from it.
    ClickLink(viewer_->wb1, QStringLiteral("missing.html"));
    QVERIFY(viewer_->wb1->toPlainText().contains(QStringLiteral("Страница не найдена")));
    QTest::keyClick(viewer_->wb1, Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(viewer_->wb1->source(), QUrl::fromLocalFile(start));
    QVERIFY(viewer_->wb1->toPlainText().contains(QStringLiteral("дальше")));

    // A link to a picture goes to its own program.
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QVERIFY(picture.save(dir_.filePath(QStringLiteral("bio/pic.png"))));
    ClickLink(viewer_->wb1, QStringLiteral("pic.png"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(recorder.urls,
             QList<QUrl>{QUrl::fromLocalFile(dir_.filePath(QStringLiteral("bio/pic.png")))});
    QCOMPARE(viewer_->wb1->source(), QUrl::fromLocalFile(start));
}

void TestHtview::zoomKeysAndWheel() {
    ShowActive(Fixture(QStringLiteral("z.html"), Page(QStringLiteral("Текст")).toUtf8()));
    QTextBrowser* view = viewer_->wb1;
    const qreal normal = view->font().pointSizeF();
    QCOMPARE(viewer_->ZoomPercent(), 100);

    QTest::keyClick(view, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(viewer_->ZoomPercent(), 110);
    QVERIFY(view->font().pointSizeF() > normal);
    QCOMPARE(view->document()->defaultFont().pointSizeF(), view->font().pointSizeF());
    QTest::keyClick(view, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(viewer_->ZoomPercent(), 90);
    QTest::keyClick(view, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(viewer_->ZoomPercent(), 100);
    QCOMPARE(view->font().pointSizeF(), normal);

    const QPoint centre = view->viewport()->rect().center();
    QWheelEvent up(centre, view->viewport()->mapToGlobal(centre), {}, QPoint(0, 120), Qt::NoButton,
                   Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &up);
    QCOMPARE(viewer_->ZoomPercent(), 110);
    QWheelEvent half(centre, view->viewport()->mapToGlobal(centre), {}, QPoint(0, -60),
                     Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &half);
    QCOMPARE(viewer_->ZoomPercent(), 110);
    QApplication::sendEvent(view->viewport(), &half);
    QCOMPARE(viewer_->ZoomPercent(), 100);

    for (int i = 0; i < 30; ++i) viewer_->ZoomIn();
    QCOMPARE(viewer_->ZoomPercent(), 300);
    for (int i = 0; i < 30; ++i) viewer_->ZoomOut();
    QCOMPARE(viewer_->ZoomPercent(), 50);
}

void TestHtview::enterPressesTheFocusedButton_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
}

void TestHtview::enterPressesTheFocusedButton() {
    QFETCH(int, key);
    ShowActive(Fixture(QStringLiteral("page.html"), Page(QStringLiteral("Текст")).toUtf8()));
    QVERIFY(viewer_->FindBar1->isHidden());
    viewer_->Button1->setFocus(Qt::TabFocusReason);
    QTest::keyClick(viewer_->Button1, static_cast<Qt::Key>(key),
                    key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QVERIFY(viewer_->FindBar1->isVisible());
    QCOMPARE(QApplication::focusWidget(), viewer_->FindBar1->FindEdit);
}

void TestHtview::ctrlWHidesLikeTheCloseBox_data() {
    QTest::addColumn<QString>("focus");
    QTest::newRow("page") << "wb1";
    QTest::newRow("button") << "Button1";
    QTest::newRow("find field") << "FindEdit";
}

// The window only hides, keeps its place and size, and the next page shows it again.
void TestHtview::ctrlWHidesLikeTheCloseBox() {
    QFETCH(QString, focus);
    ShowActive(Fixture(QStringLiteral("page.html"), Page(QStringLiteral("Текст")).toUtf8()));
    viewer_->Button1Click();
    const QRect placed(40, 30, 620, 430);
    viewer_->setGeometry(placed);
    QWidget* target = viewer_->findChild<QWidget*>(focus);
    QVERIFY(target);
    target->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(target, Qt::Key_W, Qt::ControlModifier);
    QVERIFY(!viewer_->isVisible());
    QVERIFY(!viewer_->testAttribute(Qt::WA_DeleteOnClose));
    ShowActive(Fixture(QStringLiteral("next.html"), Page(QStringLiteral("Дальше")).toUtf8()));
    QCOMPARE(viewer_->geometry(), placed);
    QCOMPARE(viewer_->wb1->toPlainText(), QStringLiteral("Дальше"));
}

void TestHtview::accessibleRole() {
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(viewer_);
    QVERIFY(window);
    QCOMPARE(window->role(), QAccessible::Window);
    QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(viewer_->Panel1);
    QVERIFY(panel);
    QCOMPARE(panel->role(), QAccessible::Pane);

    // The find bar is a group of its own in the panel, beside the button, holding its controls.
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(viewer_->FindBar1);
    QVERIFY(bar);
    QCOMPARE(bar->role(), QAccessible::Grouping);
    QCOMPARE(bar->text(QAccessible::Name), QStringLiteral("Поиск на странице"));
    QCOMPARE(bar->parent()->object(), viewer_->Panel1);
    QList<QObject*> children;
    for (int i = 0; i < bar->childCount(); ++i) children << bar->child(i)->object();
    for (QObject* control : {static_cast<QObject*>(viewer_->FindBar1->FindEdit),
                             static_cast<QObject*>(viewer_->FindBar1->FindNextButton),
                             static_cast<QObject*>(viewer_->FindBar1->FindCount)}) {
        QVERIFY2(children.contains(control), qPrintable(control->objectName()));
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(viewer_->Button1)->childCount(), 0);
}

// The article is a document whose text is read by position, as a screen reader reads it.
void TestHtview::articleIsAReadableDocument() {
    viewer_->ShowHT(Fixture(
        QStringLiteral("doc.html"),
        Page(QStringLiteral("<h1>Грипп</h1><p>") + kArticle + QStringLiteral("</p>")).toUtf8()));
    QAccessibleInterface* article = QAccessible::queryAccessibleInterface(viewer_->wb1);
    QVERIFY(article);
    QCOMPARE(article->role(), QAccessible::Document);
    QCOMPARE(article->text(QAccessible::Name), QStringLiteral("Статья"));
    QVERIFY(article->state().readOnly);
    QAccessibleTextInterface* text = article->textInterface();
    QVERIFY(text);
    const QString whole = QStringLiteral("Грипп\n") + kArticle;
    QCOMPARE(text->characterCount(), whole.size());
    QCOMPARE(text->text(0, text->characterCount()), whole);
    QCOMPARE(text->text(6, 11), QStringLiteral("Грипп"));
    // Out-of-range offsets are held to the text.
    QCOMPARE(text->text(-5, 5), QStringLiteral("Грипп"));
    QCOMPARE(text->text(whole.size() - 1, whole.size() + 10), whole.right(1));
    text->setSelection(0, 6, 11);
    QCOMPARE(text->selectionCount(), 1);
    QCOMPARE(viewer_->wb1->textCursor().selectedText(), QStringLiteral("Грипп"));
    text->removeSelection(0);
    QCOMPARE(text->selectionCount(), 0);
}

void TestHtview::hostileResourcesAreLeftOut_data() {
    QTest::addColumn<QString>("src");
    QTest::addColumn<QSize>("size");
    const QSize leftOut(1, 1);
    QTest::newRow("image in the folder loads") << QStringLiteral("dot.png") << QSize(4, 4);
    QTest::newRow("/dev/zero") << QStringLiteral("/dev/zero") << leftOut;
    QTest::newRow("/dev/urandom") << QStringLiteral("/dev/urandom") << leftOut;
    QTest::newRow("300 MB sparse image") << QStringLiteral("huge.png") << leftOut;
    QTest::newRow("image that is no regular file")
        << special_files::NonRegularName(QStringLiteral("png")) << leftOut;
    QTest::newRow("symbolic link out of the folder")
        << QStringLiteral("outside-link.png") << leftOut;
    QTest::newRow("NUL after a link out of the folder")
        << QStringLiteral("outside-link.png%00.png") << leftOut;
    QTest::newRow("NUL after an image in the folder") << QStringLiteral("dot.png%00") << leftOut;
    QTest::newRow("symbolic link to a device") << QStringLiteral("zero-link.png") << leftOut;
    QTest::newRow("../ out of the folder") << QStringLiteral("../outside/dot.png") << leftOut;
    // "bio-x" begins with "bio" but is a folder beside it.
    QTest::newRow("sibling folder named like the article folder")
        << QStringLiteral("../bio-x/dot.png") << leftOut;
    QTest::newRow("symbolic link into a sibling named like it")
        << QStringLiteral("sibling-link.png") << leftOut;
    QTest::newRow("absolute path out of the folder")
        << QUrl::fromLocalFile(dir_.filePath(QStringLiteral("outside/dot.png"))).toString()
        << leftOut;
    QTest::newRow("remote") << QStringLiteral("http://127.0.0.1:9/dot.png") << leftOut;
    QTest::newRow("data address") << QStringLiteral("data:image/png;base64,") +
                                         PngBytes(4, Qt::red).toBase64()
                                  << leftOut;
    QTest::newRow("not an image") << QStringLiteral("text.png") << leftOut;
    QTest::newRow("image too large once decoded") << QStringLiteral("bomb.png") << leftOut;
}

void TestHtview::hostileResourcesAreLeftOut() {
    QFETCH(QString, src);
    QFETCH(QSize, size);
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("bio")));
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("outside")));
    const QString bio = dir_.filePath(QStringLiteral("bio"));
    Write(bio + QStringLiteral("/dot.png"), PngBytes(4, Qt::red));
    Write(dir_.filePath(QStringLiteral("outside/dot.png")), PngBytes(4, Qt::red));
    Write(dir_.filePath(QStringLiteral("bio-x/dot.png")), PngBytes(4, Qt::red));
    bool linked = special_files::MakeLink(dir_.filePath(QStringLiteral("bio-x/dot.png")),
                                          bio + QStringLiteral("/sibling-link.png"));
    Write(bio + QStringLiteral("/text.png"), QByteArray("just words"));
    {
        QFile huge(bio + QStringLiteral("/huge.png"));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(300LL * 1024 * 1024));  // sparse: takes no room on disk
    }
    {
        // A small file that claims 20000 x 20000 pixels.
        QImage wide(20000, 1, QImage::Format_Mono);
        wide.fill(0);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(wide.scaled(20000, 20000).save(&buffer, "PNG"));
        Write(bio + QStringLiteral("/bomb.png"), png);
    }
    NonRegular(bio, QStringLiteral("png"));
    linked = special_files::MakeLink(dir_.filePath(QStringLiteral("outside/dot.png")),
                                     bio + QStringLiteral("/outside-link.png")) &&
             linked;
    linked = special_files::MakeLink(QStringLiteral("/dev/zero"),
                                     bio + QStringLiteral("/zero-link.png")) &&
             linked;
    if (src.contains(QLatin1String("-link.")) && !linked) QSKIP(kNoLinks);

    const QString page = Fixture(
        QStringLiteral("bio/images.html"),
        Page(QStringLiteral("<p>До</p><img src=\"%1\"><p>После</p>").arg(src.toHtmlEscaped()))
            .toUtf8());
    viewer_->ShowHT(page);
    QCOMPARE(viewer_->wb1->source(), QUrl::fromLocalFile(page));
    QVERIFY(viewer_->wb1->toPlainText().contains(QStringLiteral("После")));
    viewer_->wb1->document()->size();  // lays the page out, which draws on the image
    QCOMPARE(ImageSize(viewer_->wb1, src), size);
}

void TestHtview::styleSheetsOnlyFromTheArticleFolder() {
    const QString bio = dir_.filePath(QStringLiteral("bio"));
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("outside")));
    Write(bio + QStringLiteral("/red.css"), QByteArray("p { color: #ff0000 }"));
    Write(dir_.filePath(QStringLiteral("outside/green.css")), QByteArray("p { color: #00ff00 }"));
    const bool linked = special_files::MakeLink(dir_.filePath(QStringLiteral("outside/green.css")),
                                                bio + QStringLiteral("/green-link.css"));
    const QString nonRegular = QFileInfo(NonRegular(bio, QStringLiteral("css"))).fileName();
    const auto colourOf = [this](const QString& href) {
        const QString page = Fixture(
            QStringLiteral("bio/styled.html"),
            Page(
                QStringLiteral("<p>Текст</p>"),
                QStringLiteral("<link rel=\"stylesheet\" type=\"text/css\" href=\"%1\">").arg(href))
                .toUtf8());
        viewer_->ShowHT(page);
        QTextCursor cursor(viewer_->wb1->document());
        cursor.setPosition(1);
        return cursor.charFormat().foreground().color();
    };
    QCOMPARE(colourOf(QStringLiteral("red.css")), QColor(255, 0, 0));
    for (const QString& href :
         {QStringLiteral("green-link.css"), QStringLiteral("green-link.css%00.css"),
          QStringLiteral("../outside/green.css"), nonRegular, QStringLiteral("/dev/urandom"),
          QStringLiteral("/dev/zero")}) {
        if (href.startsWith(QLatin1String("green-link")) && !linked) {
            qWarning("%s: %s", kNoLinks, qPrintable(href));
            continue;
        }
        const QColor colour = colourOf(href);
        QVERIFY2(colour != QColor(0, 255, 0) && colour != QColor(255, 0, 0), qPrintable(href));
        QVERIFY2(viewer_->wb1->toPlainText().contains(QStringLiteral("Текст")), qPrintable(href));
    }
}

void TestHtview::pageGivenOutsideTheFolderIsShown() {
    // The main window names the page as the knowledge base links it, ".." and all.
    Fixture(QStringLiteral("outside/given.html"), Page(QStringLiteral("Снаружи")).toUtf8());
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("bio")));
    const QString given = dir_.filePath(QStringLiteral("bio/../outside/given.html"));
    viewer_->ShowHT(given);
    QVERIFY(viewer_->wb1->toPlainText().contains(QStringLiteral("Снаружи")));
    // Still only a regular file: anything else named so shows our page at once.
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("outside")));
    const QString nonRegular =
        QFileInfo(NonRegular(dir_.filePath(QStringLiteral("outside")), QStringLiteral("html")))
            .fileName();
    viewer_->ShowHT(dir_.filePath(QStringLiteral("bio/../outside/") + nonRegular));
    QVERIFY(viewer_->wb1->toPlainText().contains(QStringLiteral("Страница не открывается")));
}

void TestHtview::hostileLinksAreNotFollowed_data() {
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("shown");  // our page's words; empty when handed to the desktop
    const QString outside = QStringLiteral("за пределы папки статей");
    QTest::newRow("../ out of the folder") << QStringLiteral("../../../../etc/passwd") << outside;
    QTest::newRow("page outside the folder") << QStringLiteral("../outside/given.html") << outside;
    QTest::newRow("symbolic link to a page outside") << QStringLiteral("escape.html") << outside;
    QTest::newRow("page in a sibling folder named like it")
        << QStringLiteral("../bio-x/given.html") << outside;
    QTest::newRow("picture in a sibling folder named like it")
        << QStringLiteral("../bio-x/photo.png") << outside;
    // The system ends a name at NUL: "escape.html%00.html" would open escape.html itself.
    const QString control = QStringLiteral("управляющий символ");
    QTest::newRow("NUL after a link to a page outside")
        << QStringLiteral("escape.html%00.html") << control;
    QTest::newRow("NUL after a picture") << QStringLiteral("photo.png%00.png") << control;
    QTest::newRow("line break in the name") << QStringLiteral("photo%0A.png") << control;
    QTest::newRow("C1 control in the name") << QStringLiteral("photo%C2%85.png") << control;
    for (const special_files::ProgramFile& program : special_files::ProgramFiles())
        QTest::newRow(program.row) << program.name << QStringLiteral("исполняемый файл");
    QTest::newRow("script that does not count as a program")
        << QStringLiteral("script.sh") << QStringLiteral("другого типа");
    QTest::newRow("desktop entry")
        << QStringLiteral("app.desktop") << QStringLiteral("другого типа");
    QTest::newRow("desktop entry named as a picture")
        << QStringLiteral("fake.png") << QStringLiteral("другого типа");
    QTest::newRow("no regular file") << special_files::NonRegularName(QStringLiteral("png"))
                                     << QStringLiteral("не на обычный файл");
    QTest::newRow("missing file") << QStringLiteral("missing.png")
                                  << QStringLiteral("Файл не найден");
    QTest::newRow("picture") << QStringLiteral("photo.png") << QString();
    QTest::newRow("PDF") << QStringLiteral("leaflet.pdf") << QString();
}

void TestHtview::hostileLinksAreNotFollowed() {
    QFETCH(QString, href);
    QFETCH(QString, shown);
    const QString bio = dir_.filePath(QStringLiteral("bio"));
    Fixture(QStringLiteral("outside/given.html"), Page(QStringLiteral("Снаружи")).toUtf8());
    const bool linked = special_files::MakeLink(dir_.filePath(QStringLiteral("outside/given.html")),
                                                bio + QStringLiteral("/escape.html"));
    if (href == QLatin1String("escape.html") && !linked) QSKIP(kNoLinks);
    Fixture(QStringLiteral("bio-x/given.html"), Page(QStringLiteral("Рядом")).toUtf8());
    Write(dir_.filePath(QStringLiteral("bio-x/photo.png")), PngBytes(2, Qt::blue));
    for (const special_files::ProgramFile& program : special_files::ProgramFiles()) {
        const QByteArray bytes = program.name.endsWith(QLatin1String(".png"))
                                     ? PngBytes(2, Qt::blue)
                                     : QByteArray("#!/bin/sh\ntouch /tmp/ran\n");
        QVERIFY(special_files::MakeProgram(bio + u'/' + program.name, bytes));
    }
    Write(bio + QStringLiteral("/script.sh"), QByteArray("#!/bin/sh\ntouch /tmp/ran\n"));
    const QByteArray entry("[Desktop Entry]\nType=Application\nName=x\nExec=touch /tmp/ran\n");
    Write(bio + QStringLiteral("/app.desktop"), entry);
    Write(bio + QStringLiteral("/fake.png"), entry);
    Write(bio + QStringLiteral("/photo.png"), PngBytes(2, Qt::blue));
    Write(bio + QStringLiteral("/leaflet.pdf"),
          QByteArray("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<<>>\nendobj\n"));
    NonRegular(bio, QStringLiteral("png"));
    QFile::remove(bio + QStringLiteral("/missing.png"));

    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    const QString start =
        Fixture(QStringLiteral("bio/links.html"),
                Page(QStringLiteral("<p>Начало <a href=\"%1\">ссылка</a></p>").arg(href)).toUtf8());
    ShowActive(start);
    ClickLink(viewer_->wb1, href);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

    if (shown.isEmpty()) {
        QCOMPARE(
            recorder.urls,
            QList<QUrl>{QUrl::fromLocalFile(QFileInfo(bio + u'/' + href).canonicalFilePath())});
        QCOMPARE(viewer_->wb1->source(), QUrl::fromLocalFile(start));
        return;
    }
    QVERIFY2(recorder.urls.isEmpty(), qPrintable(recorder.urls.value(0).toString()));
    const QUrl target = QUrl::fromLocalFile(start).resolved(QUrl(href));
    QCOMPARE(viewer_->wb1->source(), target);
    QVERIFY2(viewer_->wb1->toPlainText().contains(shown), qPrintable(viewer_->wb1->toPlainText()));
    QVERIFY(!viewer_->wb1->toPlainText().contains(QStringLiteral("root:")));
    QVERIFY(!viewer_->wb1->toPlainText().contains(QStringLiteral("Снаружи")));
    // Back returns to the article; Forward shows our page again, not the file.
    QTest::keyClick(viewer_->wb1, Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(viewer_->wb1->source(), QUrl::fromLocalFile(start));
    QTest::keyClick(viewer_->wb1, Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(viewer_->wb1->source(), target);
    QVERIFY2(viewer_->wb1->toPlainText().contains(shown), qPrintable(viewer_->wb1->toPlainText()));
    QVERIFY(!QFile::exists(QStringLiteral("/tmp/ran")));
}

namespace {

int FrameDepth(QTextFrame* frame) {
    int deepest = 0;
    for (QTextFrame* child : frame->childFrames()) deepest = std::max(deepest, FrameDepth(child));
    return deepest + 1;
}

}  // namespace

void TestHtview::preparedPagesReadAsMeasured_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<bool>("refused");
    const auto tables = [](const QString& open) {
        return (open + QStringLiteral(" border=1><tr><td>x")).repeated(18);
    };
    QTest::newRow("18 nested tables, blank after <") << tables(QStringLiteral("< table")) << true;
    QTest::newRow("18 nested tables, blanks and capitals")
        << tables(QStringLiteral("<\n\tTaBlE")) << true;
    QTest::newRow("18 nested tables, rows and cells left out")
        << QStringLiteral("<table><td>").repeated(18) << true;
    QTest::newRow("table named with an entity") << tables(QStringLiteral("<t&#97;ble")) << false;
    QTest::newRow("table name in quotes") << tables(QStringLiteral("<\"table\"")) << false;
    QTest::newRow("tables inside a script")
        << QStringLiteral("<script>") + tables(QStringLiteral("<table")) << false;
    QTest::newRow("tables inside an unclosed comment")
        << QStringLiteral("<!--") + tables(QStringLiteral("<table")) << false;
    QTest::newRow("tables named as closing") << tables(QStringLiteral("</table")) << false;
    QTest::newRow("quadratic stray end tags")
        << QStringLiteral("<i>").repeated(149000) + QStringLiteral("</b>").repeated(149000) << true;
    QTest::newRow("stray end tags at the depth limit")
        << QStringLiteral("<b>").repeated(windows::kMaxElementDepth) +
               QStringLiteral("</i>").repeated(200000)
        << false;
    QTest::newRow("many elements at the depth limit")
        << QStringLiteral("<div>").repeated(windows::kMaxElementDepth) +
               QStringLiteral("<b>x</b>").repeated(100000)
        << true;
    QTest::newRow("stray cells") << QStringLiteral("<td>x").repeated(20000) << true;
    QTest::newRow("cells at the limit")
        << QStringLiteral("<td>x").repeated(int(article::kMaxTableCells)) << false;
    QTest::newRow("style rules times elements")
        << QStringLiteral("<style>") + QStringLiteral("p{color:red}").repeated(3000) +
               QStringLiteral("</style>") + QStringLiteral("<p>a").repeated(3000)
        << true;
    // A universal selector is no simple selector: its rules are left out, the page is shown.
    QTest::newRow("universal rules are left out")
        << QStringLiteral("<style>") + QStringLiteral("*{color:red}").repeated(3000) +
               QStringLiteral("</style>") + QStringLiteral("<p>a").repeated(3000)
        << false;
    const QString deep =
        QStringLiteral("<div>").repeated(396) + QStringLiteral("<b>x</b>").repeated(3000);
    QTest::newRow("deep elements") << deep << false;
    QTest::newRow("deep elements under a style sheet")
        << QStringLiteral("<style>zz{}</style>") + deep << true;
    QTest::newRow("deep elements under a linked style sheet")
        << QStringLiteral("<link rel=stylesheet type=text/css href=a.css>") + deep << true;
    QTest::newRow("text in four nested tables")
        << QStringLiteral("<table><tr><td>").repeated(4) + QString(200000, u'w') << true;
    QTest::newRow("the same text in one table")
        << QStringLiteral("<table><tr><td>") + QString(200000, u'w') << false;
    QTest::newRow("'<' that starts no tag") << QStringLiteral("a < 5 <<b>x</b> <= <1>") << false;
}

void TestHtview::preparedPagesReadAsMeasured() {
    QFETCH(QString, html);
    QFETCH(bool, refused);
    const windows::LoadedPage page =
        windows::LoadPage(Fixture(QStringLiteral("measured.html"), html.toUtf8()));
    QCOMPARE(page.status == windows::PageStatus::Refused, refused);
    if (refused) return;
    // What the view makes of the prepared page keeps within what was measured.
    QTextDocument document;
    document.setHtml(page.html);
    QVERIFY2(FrameDepth(document.rootFrame()) - 1 <= windows::kMaxTableDepth,
             qPrintable(page.html.left(200)));
    QVERIFY(page.shape.elementDepth <= windows::kMaxElementDepth);
    QVERIFY(document.blockCount() <= page.shape.tableCells + page.shape.elements + 1);
}

// Pages that passed every earlier limit and then kept Qt's parser or layout busy for
// minutes. Each is shown without what was left out or brought within bounds, or refused.
void TestHtview::hostilePagesAreShownWithinBoundsOrRefused_data() {
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("shown");  // text the view must show
    const auto paragraphs = [](int count) { return QByteArray("<p>абзац</p>").repeated(count); };
    QTest::newRow("an image millions of pixels high")
        << QByteArray("<p>до</p><img src=\"dot.png\" height=\"9000000\"><p>после</p>") << false
        << u"после"_qs;
    QTest::newRow("a hundred images of 100,000 pixels a side")
        << QByteArray("<img src=\"dot.png\" width=100000 height=100000>").repeated(100) +
               "<p>после</p>"
        << false << u"после"_qs;
    QTest::newRow("a sibling selector over ten thousand paragraphs")
        << "<style>h1 ~ p { color: red }</style><h1>Заголовок</h1>" + paragraphs(10000) << false
        << u"абзац"_qs;
    QByteArray declarations;
    for (int i = 0; i < 20000; ++i)
        declarations += "color: #" + QByteArray::number(0x100000 + i, 16) + ";";
    QTest::newRow("one rule of twenty thousand declarations over as many paragraphs")
        << "<style>p {" + declarations + "}</style>" + paragraphs(20000) << false << u"абзац"_qs;
    QTest::newRow("an 8 MiB sheet of declarations over two thousand paragraphs")
        << "<link rel=stylesheet type=text/css href=\"big.css\">" + paragraphs(2000) << false
        << u"абзац"_qs;
    QByteArray imports;
    for (int i = 0; i < 2000; ++i)
        imports += "@import url(\"mega.css?" + QByteArray::number(i) + "\");\n";
    QTest::newRow("two thousand imports of a 1 MB sheet")
        << "<style>" + imports + "</style>" + paragraphs(100) << false << u"абзац"_qs;
    QTest::newRow("sheets importing themselves")
        << QByteArray("<link rel=stylesheet type=text/css href=\"loop.css\"><p>текст</p>") << false
        << u"текст"_qs;
    QTest::newRow("500 rows of cells 20,000 columns wide")
        << "<table>" + QByteArray("<tr><td colspan=20000>x</td></tr>").repeated(500) + "</table>"
        << true << QString();
    QTest::newRow("500 rows of cells 20,000 rows tall")
        << "<table>" + QByteArray("<tr><td rowspan=20000>x</td></tr>").repeated(500) + "</table>"
        << true << QString();
    QTest::newRow("& before a million letters")
        << "<p>&" + QByteArray(1000000, 'a') + "</p>" << false << u"&aaaa"_qs;
    QTest::newRow("lines four thousand times as high as a large image")
        << QByteArray(
               "<style>body { line-height: 4000 }</style><body>до<img src=\"dot.png\" "
               "width=2000 height=2000><img src=\"нет.png\"><p>после</p>")
        << false << u"после"_qs;
    QTest::newRow("huge borders, paddings and fonts")
        << QByteArray(
               "<table border=100000 cellpadding=100000 "
               "cellspacing=100000><tr><td>ячейка</td></tr></table>"
               "<p style=\"font-size: 100000px; margin: 100000000px; padding-left: "
               "99999999pt\">буквы</p>"
               "<font size=+100>шрифт</font>")
        << false << u"буквы"_qs;
}

void TestHtview::hostilePagesAreShownWithinBoundsOrRefused() {
    QFETCH(QByteArray, page);
    QFETCH(bool, refused);
    QFETCH(QString, shown);
    const QString bio = dir_.filePath(QStringLiteral("bio"));
    Write(bio + QStringLiteral("/dot.png"), PngBytes(4, Qt::red));
    QByteArray big;
    while (big.size() < 8 * 1024 * 1024 - 64) big += "p { color: #123456; margin: 1px } ";
    Write(bio + QStringLiteral("/big.css"), big);
    Write(bio + QStringLiteral("/mega.css"),
          QByteArray("p { color: red; margin: 2px } ").repeated(35000));
    Write(bio + QStringLiteral("/loop.css"),
          QByteArray("@import url(loop.css); p { margin: 1px }"));
    const QString path = Fixture(QStringLiteral("bio/hostile.html"), page);

    windows::LoadedPage loaded = windows::LoadPage(path);
    QCOMPARE(loaded.status == windows::PageStatus::Refused, refused);
    if (refused) return;
    windows::ArticleBrowser browser;
    browser.SetArticleFolder(bio);
    browser.resize(780, 520);
    browser.Open(QUrl::fromLocalFile(path), std::move(loaded.html), loaded.shape);
    const QSizeF size = browser.document()->documentLayout()->documentSize();

    QVERIFY(!browser.viewport()->grab().isNull());
    QVERIFY2(browser.toPlainText().contains(shown), qPrintable(browser.toPlainText().left(200)));
    // Nothing the page asks for is laid out larger than the bounds.
    for (QTextBlock block = browser.document()->begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            if (format.isImageFormat()) {
                QVERIFY(format.toImageFormat().width() <= article::kMaxBoxPixels);
                QVERIFY(format.toImageFormat().height() <= article::kMaxBoxPixels);
            }
            QVERIFY(format.fontPointSize() <= 300);
            // A rule the page's sheets could not keep paints no paragraph red.
            QVERIFY(format.foreground().color() != QColor(Qt::red));
        }
    }
    QVERIFY2(size.height() < 1e7, qPrintable(QString::number(size.height())));
}

// Ctrl+P brings up the print dialog, which offers to print into a PDF file.
void TestHtview::ctrlPOpensThePrintDialogWithPdf() {
    if (QSysInfo::kernelType() == QLatin1String("winnt"))
        QSKIP("Windows' print dialog is the system's own, not a Qt widget to look into");
    ShowActive(QStringLiteral(TSL_SOURCE_DIR "/data/bio/son.html"));
    QStringList printers;
    bool seen = false;
    QTimer timer;
    timer.setInterval(5);
    connect(&timer, &QTimer::timeout, this, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        seen = true;
        for (const QComboBox* box : dialog->findChildren<QComboBox*>())
            for (int i = 0; i < box->count(); ++i) printers << box->itemText(i);
        dialog->reject();
    });
    timer.start();
    QTest::keyClick(viewer_, Qt::Key_P, Qt::ControlModifier);
    timer.stop();
    QVERIFY(seen);
    QVERIFY2(printers.filter(QStringLiteral("PDF")).size() == 1, qPrintable(printers.join(u',')));
    QVERIFY(viewer_->isVisible());
}

// What the dialog's PDF choice does: the page, its title at the top, as text in a PDF file.
void TestHtview::printsThePageAsPdf() {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext is missing (scripts/install-deps.sh installs poppler-utils)");
    viewer_->ShowHT(QStringLiteral(TSL_SOURCE_DIR "/data/bio/son.html"));
    const QString title = viewer_->wb1->documentTitle();
    QVERIFY(!title.isEmpty());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir_.filePath(QStringLiteral("article.pdf")));
    viewer_->PrintTo(printer);

    QProcess reader;
    reader.start(pdftotext, {QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                             printer.outputFileName(), QStringLiteral("-")});
    QVERIFY(reader.waitForFinished(30000));
    QCOMPARE(reader.exitCode(), 0);
    const QString text = QString::fromUtf8(reader.readAllStandardOutput());
    QVERIFY2(text.trimmed().startsWith(title), qPrintable(text.left(200)));
    QVERIFY(text.contains(QStringLiteral("Сколько нужно спать")));
}

void TestHtview::readableUnderADarkPalette_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QColor>("background");
    QTest::newRow("sample article: dark text, no background")
        << QStringLiteral(TSL_SOURCE_DIR "/data/bio/son.html") << QColor(255, 255, 255);
    QTest::newRow("no colours named")
        << Fixture(QStringLiteral("plain.html"),
                   Page(QStringLiteral("<p>") + kArticle + QStringLiteral("</p>")).toUtf8())
        << QColor(255, 255, 255);
    QTest::newRow("the page's own dark colours")
        << Fixture(QStringLiteral("dark.html"),
                   Page(QStringLiteral("<p>") + kArticle + QStringLiteral("</p>"),
                        QStringLiteral(
                            "<style>body { background-color: #202020; color: #e0e0e0; }</style>"))
                       .toUtf8())
        << QColor(32, 32, 32);
}

// Under a dark colour scheme a page is shown on the colours it names, or on white with
// dark text where it names none; its text keeps a contrast of at least 4.5:1.
void TestHtview::readableUnderADarkPalette() {
    QFETCH(QString, page);
    QFETCH(QColor, background);
    const ApplicationPalette dark(DarkPalette());
    ShowActive(page);
    QVERIFY(QTest::qWaitForWindowExposed(viewer_));
    const QRect line = FirstParagraphLine(viewer_->wb1);
    QVERIFY(!line.isEmpty());
    const TextOnBackground seen = Measure(viewer_->wb1->viewport()->grab().toImage(), line);
    QCOMPARE(seen.background, background);
    QVERIFY2(seen.contrast >= 4.5, qPrintable(QString::number(seen.contrast)));
}

// The find bar lies on the light tool panel: its count and its "not found" cue stay dark
// on light under a dark colour scheme.
void TestHtview::findBarReadableUnderADarkPalette() {
    const ApplicationPalette dark(DarkPalette());
    ShowActive(Fixture(QStringLiteral("p.html"),
                       Page(QStringLiteral("<p>Простуда и кашель.</p>")).toUtf8()));
    FindBar* bar = viewer_->FindBar1;
    QTest::mouseClick(viewer_->Button1, Qt::LeftButton);
    Type(bar->FindEdit, QStringLiteral("каш"));
    QCOMPARE(bar->FindCount->text(), QStringLiteral("1 из 1"));
    const TextOnBackground count =
        Measure(bar->FindCount->grab().toImage(), bar->FindCount->rect());
    QVERIFY2(count.contrast >= 4.5, qPrintable(QString::number(count.contrast)));

    Type(bar->FindEdit, QStringLiteral("ж"));
    QCOMPARE(bar->FindCount->text(), QStringLiteral("Не найдено"));
    const TextOnBackground notFound =
        Measure(bar->FindCount->grab().toImage(), bar->FindCount->rect());
    QVERIFY2(notFound.contrast >= 4.5, qPrintable(QString::number(notFound.contrast)));
    const QRect typed = bar->FindEdit->rect().adjusted(4, 4, -4, -4);
    const TextOnBackground cue = Measure(bar->FindEdit->grab().toImage(), typed);
    QVERIFY2(cue.contrast >= 4.5, qPrintable(QString::number(cue.contrast)));
}

QTEST_MAIN(TestHtview)
#include "test_htview.moc"
