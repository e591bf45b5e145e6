// The windows on a screen smaller than their sizes (560 x 450, set up by the test's
// platform configuration): each is made as much smaller as it must be and lies inside the
// screen's available area; a size that fits stays as it is.
#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include "Mesager.h"
#include "Unit1.h"
#include "htview.h"
#include "qt_strings.h"

using windows::TForm1;
using windows::Thtv;
using windows::TViw;

class TestSmallScreen : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void windowsFitTheScreen_data();
    void windowsFitTheScreen();

private:
    QRect area_;
    QTemporaryDir dir_;
};

void TestSmallScreen::initTestCase() {
    area_ = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(area_.width() == 560 && area_.height() == 450,
             "the test's screen configuration was not applied");
    QVERIFY(dir_.isValid());
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("mem")));
    QFile page(dir_.filePath(QStringLiteral("bio/a.html")));
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("bio")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<html><body><p>a</p></body></html>");
}

void TestSmallScreen::windowsFitTheScreen_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("designHeight");  // the height that fits, and stays
    QTest::newRow("main window") << "Form1" << 376;
    QTest::newRow("viewer") << "htv" << 450;
    QTest::newRow("About window") << "Viw" << 279;
}

void TestSmallScreen::windowsFitTheScreen() {
    QFETCH(QString, window);
    QFETCH(int, designHeight);
    TForm1 form(windows::ToU16(dir_.path() + QLatin1Char('/')));
    auto* viewer = new Thtv(dir_.filePath(QStringLiteral("bio")), &form);
    auto* about = new TViw(&form);
    form.AttachViewer(viewer);
    form.AttachAbout(about);
    QWidget* shown = nullptr;
    QRect outer;
    if (window == u"Form1") {
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        shown = &form;
        outer = form.frameGeometry();
    } else if (window == u"htv") {
        viewer->ShowHT(dir_.filePath(QStringLiteral("bio/a.html")));
        QVERIFY(QTest::qWaitForWindowExposed(viewer));
        shown = viewer;
        outer = viewer->frameGeometry();
    } else {
        QTimer::singleShot(0, about, [&] {
            outer = about->frameGeometry();
            about->close();
        });
        about->ShowModal();
        shown = about;
    }
    QVERIFY2(area_.contains(outer), qPrintable(QStringLiteral("%1: %2,%3 %4x%5")
                                                   .arg(window)
                                                   .arg(outer.x())
                                                   .arg(outer.y())
                                                   .arg(outer.width())
                                                   .arg(outer.height())));
    // Too wide for the screen, each window takes its whole width and no more.
    QCOMPARE(outer.width(), area_.width());
    const QMargins frame(
        shown->geometry().left() - outer.left(), shown->geometry().top() - outer.top(),
        outer.right() - shown->geometry().right(), outer.bottom() - shown->geometry().bottom());
    QCOMPARE(shown->height(), designHeight - (window == u"htv" ? frame.top() + frame.bottom() : 0));
}

QTEST_MAIN(TestSmallScreen)
#include "test_small_screen.moc"
