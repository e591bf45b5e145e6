// The About window: its contents, the developer's page, modal display and its reuse.
#include <functional>

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTimer>
#include <QtTest>

#include "Mesager.h"
#include "window_test_support.h"

using windows::TViw;

namespace {

using window_testing::UrlRecorder;

// Runs `inside` while the window is shown modally, then closes it the way `close` does;
// returns once ShowModal has returned.
void WhileShown(TViw& about, const std::function<void()>& inside,
                const std::function<void()>& close) {
    QTimer::singleShot(0, &about, [&] {
        inside();
        close();
    });
    about.ShowModal();
}

}  // namespace

class TestMesager : public QObject {
    Q_OBJECT

private slots:
    void init() { about_ = new TViw; }
    void cleanup() {
        delete about_;
        about_ = nullptr;
    }

    void contents();
    void windowFrameAndLayout();
    void siteButtonOpensThePageAndStaysOpen();
    void closeWaysEndTheModalDisplay_data();
    void closeWaysEndTheModalDisplay();
    void focusAndTextOutliveTheDisplay();
    void centredFirstThenWhereLeft();
    void minimiseAndRestoreKeepThePlace_data();
    void minimiseAndRestoreKeepThePlace();

private:
    TViw* about_ = nullptr;
};

void TestMesager::contents() {
    QCOMPARE(about_->objectName(), QStringLiteral("Viw"));
    QCOMPARE(about_->windowTitle(), QStringLiteral("Целитор. Демонстрационная версия"));
    QCOMPARE(about_->Label1->text(), QStringLiteral("\"Целитор\" Демонстрационная версия"));
    QCOMPARE(about_->Button1->text(), QStringLiteral("Закрыть"));
    QCOMPARE(about_->Button2->text(), QStringLiteral("Перейти на сайт разработчика"));

    // The project, its city and the year; no person.
    QCOMPARE(about_->Label2->text(), QStringLiteral("Проект «Целитор», Казань, 2026"));
    QVERIFY(about_->Label2->fontMetrics().horizontalAdvance(about_->Label2->text()) <=
            about_->Label2->width());

    const QStringList lines = about_->Memo1->toPlainText().split(u'\n');
    QCOMPARE(lines.size(), 13);
    QCOMPARE(about_->Memo1->document()->blockCount(), 13);
    QCOMPARE(lines.first(), QStringLiteral("Материалы использованные при разработке программы:"));
    for (const QString& line : lines)
        QVERIFY2(!line.trimmed().isEmpty() && line == line.trimmed(), qPrintable(line));
    QCOMPARE(QSet<QString>(lines.cbegin(), lines.cend()).size(), 13);
    QVERIFY(!about_->Memo1->isReadOnly());

    const struct {
        QWidget* widget;
        const char* name;
    } named[] = {{about_->Label1, "Label1"},
                 {about_->Label2, "Label2"},
                 {about_->Memo1, "Memo1"},
                 {about_->Button1, "Button1"},
                 {about_->Button2, "Button2"}};
    for (const auto& control : named) {
        QCOMPARE(control.widget->objectName(), QString::fromLatin1(control.name));
        QVERIFY2(!control.widget->accessibleName().isEmpty(), control.name);
    }
}

void TestMesager::windowFrameAndLayout() {
    QCOMPARE(about_->windowType(), Qt::Tool);
    QVERIFY(about_->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(about_->minimumSize(), QSize(569, 279));
    QCOMPARE(about_->maximumSize(), QSize(569, 279));
    QCOMPARE(about_->palette().color(QPalette::Window), QColor(248, 231, 229));
    QCOMPARE(about_->Label1->palette().color(QPalette::WindowText), QColor(128, 0, 0));
    QCOMPARE(about_->Label2->palette().color(QPalette::WindowText), QColor(0, 128, 128));
    QCOMPARE(about_->Memo1->palette().color(QPalette::Base), QColor(237, 237, 237));
    QVERIFY(about_->Label1->font().bold());

    QRect label1, label2, memo, button1, button2;
    QSize client;
    WhileShown(
        *about_,
        [&] {
            client = about_->size();
            label1 = about_->Label1->geometry();
            label2 = about_->Label2->geometry();
            memo = about_->Memo1->geometry();
            button1 = about_->Button1->geometry();
            button2 = about_->Button2->geometry();
        },
        [&] { about_->close(); });
    QCOMPARE(client, QSize(569, 279));
    QCOMPARE(label1, QRect(0, 0, 569, 26));
    QCOMPARE(label2, QRect(0, 260, 569, 19));
    QCOMPARE(memo, QRect(21, 48, 524, 161));
    QCOMPARE(button1, QRect(21, 215, 111, 35));
    QCOMPARE(button2, QRect(173, 215, 372, 35));
}

void TestMesager::siteButtonOpensThePageAndStaysOpen() {
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &recorder, "open");
    bool openAfterClick = false;
    WhileShown(
        *about_,
        [&] {
            QTest::mouseClick(about_->Button2, Qt::LeftButton);
            openAfterClick = about_->isVisible();
        },
        [&] { QTest::mouseClick(about_->Button1, Qt::LeftButton); });
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));

    QVERIFY(openAfterClick);
    QCOMPARE(recorder.urls.size(), 1);
    const QUrl page = recorder.urls.first();
    QCOMPARE(page.scheme(), QStringLiteral("http"));
    QCOMPARE(page.path(), QStringLiteral("/doctor/1.html"));
    QVERIFY(!page.host().isEmpty());
    QVERIFY(std::char_traits<char16_t>::length(windows::kDeveloperPage) < 256);
}

void TestMesager::closeWaysEndTheModalDisplay_data() {
    QTest::addColumn<int>("way");
    QTest::newRow("Закрыть clicked") << 0;
    QTest::newRow("Закрыть by Enter, having the focus") << 1;
    QTest::newRow("close box") << 2;
}

void TestMesager::closeWaysEndTheModalDisplay() {
    QFETCH(int, way);
    bool shown = false;
    WhileShown(
        *about_,
        [&] { shown = about_->isVisible() && QApplication::activeModalWidget() == about_; },
        [&] {
            if (way == 0) QTest::mouseClick(about_->Button1, Qt::LeftButton);
            if (way == 1) {
                QVERIFY(QTest::qWaitForWindowActive(about_));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            }
            if (way == 2) about_->close();
            // Whatever went wrong above, ShowModal must still return for the test to end.
            if (about_->isVisible()) about_->reject();
        });
    QVERIFY(shown);
    QVERIFY(!about_->isVisible());
    // The window is kept for the next display.
    WhileShown(
        *about_, [&] { shown = about_->isVisible(); }, [&] { about_->close(); });
    QVERIFY(shown);
}

void TestMesager::focusAndTextOutliveTheDisplay() {
    QWidget* firstFocus = nullptr;
    QList<QWidget*> tabbed;
    WhileShown(
        *about_,
        [&] {
            QVERIFY(QTest::qWaitForWindowActive(about_));
            firstFocus = QApplication::focusWidget();
            // Tab goes Закрыть, the list, the site button.
            for (int i = 0; i < 2; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                tabbed.append(QApplication::focusWidget());
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
            QTest::keyClick(about_->Memo1, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(about_->Memo1, Qt::Key_Return);
            QTest::keyClicks(about_->Memo1, "my note");
        },
        [&] { about_->close(); });
    QCOMPARE(firstFocus, about_->Button1);
    QCOMPARE(tabbed, (QList<QWidget*>{about_->Memo1, about_->Button2}));

    QWidget* secondFocus = nullptr;
    QString text;
    WhileShown(
        *about_,
        [&] {
            QVERIFY(QTest::qWaitForWindowActive(about_));
            secondFocus = QApplication::focusWidget();
            text = about_->Memo1->toPlainText();
        },
        [&] { about_->close(); });
    QCOMPARE(secondFocus, about_->Memo1);
    QVERIFY(text.endsWith(QStringLiteral("\nmy note")));
    QVERIFY(text.startsWith(QStringLiteral("Материалы использованные при разработке программы:")));
}

void TestMesager::centredFirstThenWhereLeft() {
    QPoint centre;
    WhileShown(
        *about_, [&] { centre = about_->frameGeometry().center(); }, [&] { about_->close(); });
    const QPoint screenCentre = about_->screen()->availableGeometry().center();
    QVERIFY2((centre - screenCentre).manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y())));

    const QPoint moved(17, 23);
    QPoint shownAt;
    WhileShown(
        *about_, [&] { about_->move(moved); }, [&] { about_->close(); });
    WhileShown(
        *about_, [&] { shownAt = about_->pos(); }, [&] { about_->close(); });
    QCOMPARE(shownAt, moved);
}

void TestMesager::minimiseAndRestoreKeepThePlace_data() {
    QTest::addColumn<bool>("closedWhileMinimised");
    QTest::addColumn<bool>("movedBefore");
    QTest::newRow("first display, restored, then closed") << false << false;
    QTest::newRow("moved, restored, then closed") << false << true;
    QTest::newRow("moved, closed while minimised") << true << true;
}

void TestMesager::minimiseAndRestoreKeepThePlace() {
    QFETCH(bool, closedWhileMinimised);
    QFETCH(bool, movedBefore);
    const QPoint moved(41, 57);
    QPoint before, restored;
    WhileShown(
        *about_,
        [&] {
            if (movedBefore) about_->move(moved);
            before = about_->pos();
            // Minimising hides the window spontaneously; restoring shows it spontaneously.
            about_->setWindowState(Qt::WindowMinimized);
            if (closedWhileMinimised) return;
            about_->setWindowState(Qt::WindowNoState);
            restored = about_->pos();
        },
        [&] { about_->close(); });
    if (!closedWhileMinimised) QCOMPARE(restored, before);

    QPoint reopened;
    bool minimised = true;
    WhileShown(
        *about_,
        [&] {
            reopened = about_->pos();
            minimised = about_->isMinimized();
        },
        [&] { about_->close(); });
    QCOMPARE(reopened, before);
    QVERIFY(!minimised);
}

QTEST_MAIN(TestMesager)
#include "test_mesager.moc"
