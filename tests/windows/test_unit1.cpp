// The main window driven as a user drives it: keys, clicks, drags, and the modal boxes
// they bring up, over a knowledge base written byte by byte into a temporary folder.
#include <functional>
#include <memory>
#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolTip>
#include <QElapsedTimer>
#include <QTimer>

#include "Mesager.h"
#include "c_locale_collation.h"
#include "Unit1.h"
#include "qt_strings.h"
#include "message_box.h"
#include "htview.h"
#include "splitter.h"
#include "panel.h"
#include "suggestion_model.h"

using windows::TForm1;

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

// A modal window that came up and was closed by the test.
struct Modal {
    QString objectName;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

// Runs action; every modal window that comes up meanwhile is noted and closed: a message
// box is answered through its test hook, the About window closed as its close box would,
// once it has become the active window as a user would see it. Closed before, on a busy
// machine, its activation could still be on its way and make the closed window the active
// one after the main window had been activated again; the main window then took no focus.
std::vector<Modal> ClosingModals(const std::function<void()>& action) {
    std::vector<Modal> seen;
    const auto takeBoxes = [&seen] {
        for (auto& box : windows::MessageBox::TakeShown())
            seen.push_back(Modal{box.objectName, box.caption, box.text, box.icon, box.buttons});
    };
    windows::MessageBox::TakeShown();
    windows::MessageBox::AnswerEvery(true);
    QTimer timer;
    timer.setInterval(5);
    QElapsedTimer shown;
    constexpr qint64 kActivationBoundMs = 5000;  // then it is closed all the same
    QObject::connect(&timer, &QTimer::timeout, [&seen, &takeBoxes, &shown] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        if (!shown.isValid()) shown.start();
        if (!modal->isActiveWindow() && !shown.hasExpired(kActivationBoundMs)) return;
        shown.invalidate();
        takeBoxes();  // the boxes answered before it came up come first
        seen.push_back(
            Modal{modal->objectName(), modal->windowTitle(), {}, QMessageBox::NoIcon, {}});
        modal->close();
    });
    timer.start();
    action();
    timer.stop();
    windows::MessageBox::AnswerEvery(false);
    takeBoxes();
    return seen;
}

QStringList Lines(const QPlainTextEdit* memo) {
    const QString text = memo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

QStringList Entries(const TForm1& form) {
    QStringList entries;
    for (int i = 0; i < form.Suggestions().Count(); ++i)
        entries << windows::ToQString(form.Suggestions().Entry(i));
    return entries;
}

// Typing as the keyboard does it, one key event per character (QTest's own helper only
// knows Latin-1).
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, static_cast<Qt::Key>(c.toUpper().unicode()),
                            QString(c), Qt::NoModifier);
}

// The distance from a child's right edge to its parent's right edge.
int RightGap(const QWidget* w) { return w->parentWidget()->width() - w->geometry().right() - 1; }

}  // namespace

class Unit1Test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TForm1> form_;

    QString ProgramDir() const { return dir_->path() + QLatin1Char('/'); }

    void Write(const QString& relative, const QByteArray& bytes) {
        QFile file(ProgramDir() + relative);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    void ShowWindow() {
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }

    void Ask(const QString& text) {
        form_->Edit1->setText(text);
        form_->InBtnClick();
    }

    // A drag that starts at down in target's coordinates (the bar, by default).
    void DragSplitter(int dx, const std::function<void()>& whileDragging = {},
                      QWidget* target = nullptr, QPoint down = QPoint(1, 10)) {
        QWidget* bar = target ? target : form_->Splitter1;
        const QPoint to = down + QPoint(dx, 0);
        QMouseEvent press(QEvent::MouseButtonPress, down, bar->mapToGlobal(down), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &press);
        QMouseEvent move(QEvent::MouseMove, to, bar->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(bar, &move);
        if (whileDragging) whileDragging();
        QMouseEvent release(QEvent::MouseButtonRelease, to, bar->mapToGlobal(to), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &release);
    }

private slots:
    void initTestCase() {
        QApplication::setApplicationName(QStringLiteral("Tsldemo"));
        testing_support::UseTheCEnvironmentsLocale();
    }

    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("mem")));
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("bio")));
        // Sorted case-insensitively: гол, головная боль, Голод, горло.
        Write(QStringLiteral("mem/г"),
              kBom + QByteArray("горло|Полощите.\r\nголовная "
                                "боль|$/golova.html$Отдохните.\r\nГолод|Поешьте.\r\n"
                                "гол|\r\n"));
        Write(QStringLiteral("mem/ь"), kBom + QByteArray("103|Скорая помощь.\n"));
        Write(QStringLiteral("bio/golova.html"), QByteArray("<html><body>Голова</body></html>"));
        form_ = std::make_unique<TForm1>(windows::ToU16(ProgramDir()));
        auto* htv = new windows::Thtv(form_.get());
        auto* viw = new windows::TViw(form_.get());
        form_->AttachViewer(htv);
        form_->AttachAbout(viw);
    }

    void cleanup() {
        form_.reset();
        dir_.reset();
    }

    // Without a test's answer the box is a real modal dialog that waits for its OK.
    void messageBoxIsModalUntilAnswered() {
        QString seen;
        QTimer::singleShot(0, [&seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            seen = box->objectName() + u':' + box->text();
            box->button(QMessageBox::Ok)->click();
        });
        form_->ShowMessage(u"Введите текст!");
        QCOMPARE(seen, QStringLiteral("Message:Введите текст!"));
        QVERIFY(windows::MessageBox::TakeShown().empty());
    }

    void startUpState() {
        QCOMPARE(form_->windowTitle(), QStringLiteral("\"Целитор\" демонстрационная версия"));
        QVERIFY(form_->Memo1->toPlainText().isEmpty());
        QVERIFY(form_->Edit1->text().isEmpty());
        QCOMPARE(form_->Suggestions().Count(), 0);
        QVERIFY(form_->ViewBtn->isHidden());
        QCOMPARE(form_->State().QueryCount(), 0);
        QCOMPARE(windows::ToQString(form_->State().ProgramDir()), ProgramDir());
        QVERIFY(!form_->windowIcon().isNull());
        QCOMPARE(form_->windowIcon().pixmap(90, 90).size(), QSize(90, 90));
        ShowWindow();
        QCOMPARE(form_->size(), QSize(641, 376));
        const QPoint offCentre =
            form_->geometry().center() - form_->screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 1, "the window is centred in the work area");
        QCOMPARE(QApplication::focusWidget(), form_->Button1);
        QCOMPARE(form_->htv->isVisible(), false);
        QCOMPARE(form_->Viw->isVisible(), false);
    }

    // Screen readers and tests find every control by its name.
    void namesOfControls() {
        const std::vector<std::pair<QWidget*, QString>> controls{
            {form_->Splitter1, QStringLiteral("Разделитель")},
            {form_->Panel1, QStringLiteral("Панель кнопок")},
            {form_->Button1, QStringLiteral("О программе")},
            {form_->Panel2, QStringLiteral("Панель ввода")},
            {form_->Edit1, QStringLiteral("Поле ввода")},
            {form_->InBtn, QStringLiteral("Ввод")},
            {form_->Panel3, QStringLiteral("Панель подсказок")},
            {form_->DictBox, QStringLiteral("Список фраз")},
            {form_->ViewBtn, QStringLiteral("Подробно")},
            {form_->Panel4, QStringLiteral("Панель разговора")},
            {form_->Memo1, QStringLiteral("Разговор")},
        };
        const QStringList names{"Splitter1", "Panel1",  "Button1", "Panel2", "Edit1", "InBtn",
                                "Panel3",    "DictBox", "ViewBtn", "Panel4", "Memo1"};
        QCOMPARE(form_->objectName(), QStringLiteral("Form1"));
        for (std::size_t i = 0; i < controls.size(); ++i) {
            QCOMPARE(controls[i].first->objectName(), names[static_cast<int>(i)]);
            QCOMPARE(controls[i].first->accessibleName(), controls[i].second);
            QCOMPARE(form_->findChild<QWidget*>(names[static_cast<int>(i)]), controls[i].first);
        }
    }

    void designLayout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("bounds");
        QTest::newRow("Splitter1") << "Splitter1" << QRect(453, 37, 2, 289);
        QTest::newRow("Panel1") << "Panel1" << QRect(0, 0, 641, 37);
        QTest::newRow("Button1") << "Button1" << QRect(8, 5, 121, 27);
        QTest::newRow("Panel2") << "Panel2" << QRect(0, 326, 641, 50);
        QTest::newRow("Edit1") << "Edit1" << QRect(16, 8, 439, 29);
        QTest::newRow("InBtn") << "InBtn" << QRect(465, 8, 81, 28);
        QTest::newRow("Panel3") << "Panel3" << QRect(455, 37, 186, 289);
        QTest::newRow("DictBox") << "DictBox" << QRect(5, 36, 169, 237);
        QTest::newRow("ViewBtn") << "ViewBtn" << QRect(6, 6, 169, 25);
        QTest::newRow("Panel4") << "Panel4" << QRect(0, 37, 453, 289);
        QTest::newRow("Memo1") << "Memo1" << QRect(5, 5, 442, 279);
    }

    void designLayout() {
        QFETCH(QString, name);
        QFETCH(QRect, bounds);
        ShowWindow();
        auto* control = form_->findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), bounds);
    }

    void resizingKeepsRightDistances() {
        ShowWindow();
        const QSize memo = form_->Memo1->size();
        const QSize list = form_->DictBox->size();
        form_->resize(900, 500);
        QTRY_COMPARE(form_->Panel2->width(), 900);
        QCOMPARE(RightGap(form_->Edit1), 186);
        QCOMPARE(RightGap(form_->InBtn), 95);
        QCOMPARE(form_->Panel3->width(), 186);
        QCOMPARE(form_->Panel3->geometry().right(), 899);
        QCOMPARE(form_->Splitter1->geometry().right() + 1, form_->Panel3->x());
        QCOMPARE(form_->Memo1->size(), memo + QSize(259, 124));
        QCOMPARE(form_->DictBox->size(), list + QSize(0, 124));
        QCOMPARE(form_->Panel2->y(), 450);
    }

    // Raised: the left column lit, the right one in shadow, both shades of the bar's teal.
    void splitterIsBevelledInItsColour() {
        ShowWindow();
        const QImage bar = form_->Splitter1->grab().toImage();
        QCOMPARE(bar.size(), QSize(2, 289));
        const QColor colour(10, 90, 90);
        for (const int y : {0, 144, 288}) {
            const QColor lit = bar.pixelColor(0, y);
            const QColor shaded = bar.pixelColor(1, y);
            QVERIFY2(
                lit.value() > colour.value() && shaded.value() < colour.value(),
                qPrintable(
                    QStringLiteral("row %1: %2 and %3").arg(y).arg(lit.name(), shaded.name())));
            for (const QColor& shade : {lit, shaded}) {
                QVERIFY2(std::abs(shade.hsvHue() - colour.hsvHue()) <= 3, qPrintable(shade.name()));
                QVERIFY2(std::abs(shade.hsvSaturation() - colour.hsvSaturation()) <= 8,
                         qPrintable(shade.name()));
            }
        }
    }

    void splitterDrag_data() {
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("width");
        QTest::newRow("wider") << -100 << 286;
        QTest::newRow("narrower") << 100 << 86;
        QTest::newRow("just above the minimum") << 155 << 31;
        QTest::newRow("at the minimum collapses") << 156 << 0;
        QTest::newRow("past the right edge collapses") << 400 << 0;
        QTest::newRow("at most client width less 32") << -1000 << 641 - 32;
        QTest::newRow("a mere click") << 0 << 186;
    }

    void splitterDrag() {
        QFETCH(int, dx);
        QFETCH(int, width);
        ShowWindow();
        DragSplitter(dx, [&] {
            // Only a line shows where the bar will go until the button is released.
            QCOMPARE(form_->Panel3->width(), 186);
            QWidget* line = form_->Splitter1->DragLine();
            QVERIFY(line->isVisible());
            QCOMPARE(line->x(), 641 - width - 2);
        });
        QVERIFY(!form_->Splitter1->DragLine()->isVisible());
        QCOMPARE(form_->Panel3->width(), width);
        QCOMPARE(form_->Splitter1->x(), 641 - width - 2);
        QCOMPARE(form_->Panel4->width(), 641 - width - 2);
    }

    void collapsedPanelOpensFromTheRightEdge() {
        ShowWindow();
        DragSplitter(200);
        QCOMPARE(form_->Panel3->width(), 0);
        QCOMPARE(form_->Splitter1->geometry().right(), 640);
        // The window's widening leaves it collapsed.
        form_->resize(800, 376);
        QTRY_COMPARE(form_->Splitter1->geometry().right(), 799);
        QCOMPARE(form_->Panel3->width(), 0);
        DragSplitter(-120);
        QCOMPARE(form_->Panel3->width(), 120);
        QCOMPARE(form_->DictBox->width(), 120 - 17);
    }

    // At its smallest the window keeps every control usable: nothing overlaps, the input
    // is 100 pixels wide, the transcript and the list at least 30 high.
    void minimumSizeKeepsControlsUsable() {
        ShowWindow();
        form_->resize(120, 90);
        QTRY_COMPARE(form_->size(), form_->minimumSize());
        QCOMPARE(form_->minimumSize(), QSize(302, 169));
        QCOMPARE(form_->Edit1->width(), 100);
        QVERIFY(form_->Edit1->geometry().right() < form_->InBtn->x());
        QVERIFY(form_->Panel2->rect().contains(form_->InBtn->geometry()));
        QVERIFY(form_->Panel2->y() >= form_->Panel1->height());
        QVERIFY(form_->Memo1->width() >= 30);
        QVERIFY(form_->Memo1->height() >= 30);
        QCOMPARE(form_->DictBox->height(), 30);
        QVERIFY(form_->Panel3->rect().contains(form_->DictBox->geometry()));
    }

    // Narrowing the window narrows a widened Panel3 so that Panel4 keeps the 30 pixels a
    // drag leaves it; the width chosen by the drag comes back when the window widens again.
    void narrowingKeepsTheTranscript_data() {
        QTest::addColumn<int>("windowWidth");
        QTest::addColumn<int>("panel3Width");
        QTest::newRow("wide enough") << 641 << 500;
        QTest::newRow("narrower") << 450 << 450 - 32;
        QTest::newRow("smallest") << 302 << 302 - 32;
        QTest::newRow("wider again") << 900 << 500;
    }

    void narrowingKeepsTheTranscript() {
        QFETCH(int, windowWidth);
        QFETCH(int, panel3Width);
        ShowWindow();
        DragSplitter(-314);
        QCOMPARE(form_->Panel3Width(), 500);
        form_->resize(300, 376);
        form_->resize(windowWidth, 376);
        QTRY_COMPARE(form_->width(), windowWidth);
        QCOMPARE(form_->Panel3->width(), panel3Width);
        QCOMPARE(form_->Panel3->geometry().right(), windowWidth - 1);
        QCOMPARE(form_->Splitter1->geometry().right() + 1, form_->Panel3->x());
        QCOMPARE(form_->Panel4->width(), windowWidth - panel3Width - 2);
        QVERIFY(form_->Panel4->width() >= windows::Splitter::kMinSize);
        QVERIFY(form_->Memo1->isVisible() && form_->Memo1->width() > 0);
        // A drag starts from the panel as shown.
        DragSplitter(10);
        QCOMPARE(form_->Panel3Width(), panel3Width - 10);
    }

    // The bar is drawn 2 pixels wide, but the mouse takes it 3 pixels either side of that.
    void grabAreaWiderThanTheBar_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<bool>("grabs");
        QTest::newRow("3 left of the bar") << 450 << true;
        QTest::newRow("on the bar") << 454 << true;
        QTest::newRow("3 right of the bar") << 457 << true;
        QTest::newRow("in the transcript") << 446 << false;
        QTest::newRow("in the list") << 461 << false;
    }

    void grabAreaWiderThanTheBar() {
        QFETCH(int, x);
        QFETCH(bool, grabs);
        ShowWindow();
        QCOMPARE(form_->Splitter1->geometry(), QRect(453, 37, 2, 289));
        const QPoint at(x, 100);
        QWidget* under = form_->childAt(at);
        QVERIFY(under);
        QCOMPARE(under == form_->Splitter1->GrabArea(), grabs);
        if (!grabs) return;
        QCOMPARE(under->cursor().shape(), Qt::SplitHCursor);
        DragSplitter(-50, {}, under, under->mapFrom(form_.get(), at));
        QCOMPARE(form_->Panel3->width(), 236);
        QCOMPARE(form_->Splitter1->x(), 641 - 236 - 2);
        QCOMPARE(form_->Splitter1->GrabArea()->geometry(), QRect(641 - 236 - 5, 37, 8, 289));
    }

    // Assistive technology hears a window, panes, and the list's selection.
    void accessibleRoles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        QTest::newRow("main window") << "Form1" << int(QAccessible::Window);
        for (const char* panel : {"Panel1", "Panel2", "Panel3", "Panel4"})
            QTest::newRow(panel) << panel << int(QAccessible::Pane);
        QTest::newRow("list") << "DictBox" << int(QAccessible::List);
        QTest::newRow("splitter") << "Splitter1" << int(QAccessible::Splitter);
    }

    void accessibleRoles() {
        QFETCH(QString, name);
        QFETCH(int, role);
        QWidget* widget = name == u"Form1" ? form_.get() : form_->findChild<QWidget*>(name);
        QVERIFY(widget);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(iface);
        QCOMPARE(int(iface->role()), role);
        QCOMPARE(iface->text(QAccessible::Name), widget->accessibleName());
    }

    void listOffersItsSelection() {
        ShowWindow();
        form_->Edit1->setText(QStringLiteral("го"));
        form_->DictBox->selectionModel()->setCurrentIndex(form_->Suggestions().index(2),
                                                          QItemSelectionModel::ClearAndSelect);
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(form_->DictBox);
        QVERIFY(list);
        QAccessibleTableInterface* table = list->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->selectedRows(), QList<int>{2});
        const QList<QAccessibleInterface*> cells = table->selectedCells();
        QCOMPARE(cells.size(), 1);
        QCOMPARE(cells.first()->text(QAccessible::Name), QStringLiteral("Голод"));
        QVERIFY(cells.first()->state().selected);
        QVERIFY(table->isRowSelected(2));
        QVERIFY(!table->isRowSelected(1));
    }

    // A question cut by the list's edge can be read whole in its tooltip.
    void tooltipShowsTheWholeQuestion_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("shown");
        QTest::newRow("short question") << 0 << false;
        QTest::newRow("question wider than the list") << 1 << true;
    }

    void tooltipShowsTheWholeQuestion() {
        QFETCH(int, row);
        QFETCH(bool, shown);
        const QString long_ =
            QStringLiteral("длинный вопрос о том, что делать, если <болит> голова & шея");
        Write(QStringLiteral("mem/д"),
              kBom + QByteArray("да|Да.\n") + long_.toUtf8() + "|Отдохните.\n");
        ShowWindow();
        Type(form_->Edit1, QStringLiteral("д"));
        QCOMPARE(form_->Suggestions().Count(), 2);
        QWidget* viewport = form_->DictBox->viewport();
        const QPoint at = form_->DictBox->visualRect(form_->Suggestions().index(row)).center();
        QHelpEvent help(QEvent::ToolTip, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &help);
        if (shown) {
            QTRY_VERIFY(QToolTip::isVisible());
            QCOMPARE(QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText(), long_);
        } else {
            QTRY_VERIFY(!QToolTip::isVisible());
        }
        QToolTip::hideText();
    }

    // Enter right after start-up presses "О программе"; a click into the field moves the
    // focus there, and Enter then asks without putting anything into the field.
    void enterFollowsTheFocus() {
        ShowWindow();
        std::vector<Modal> modals =
            ClosingModals([&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); });
        QCOMPARE(modals.size(), std::size_t{1});
        QCOMPARE(modals[0].objectName, QStringLiteral("Viw"));
        QCOMPARE(form_->State().QueryCount(), 0);
        // As the window manager does when the About window closes. The application's own
        // active window is waited for: the main window's QWindow counts as active as long as
        // the About window, its transient child, has the focus.
        form_->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), form_.get());

        QTest::mouseClick(form_->Edit1, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), form_->Edit1);
        Type(form_->Edit1, QStringLiteral("горло"));
        modals = ClosingModals([&] { QTest::keyClick(form_->Edit1, Qt::Key_Return); });
        QVERIFY(modals.empty());
        QCOMPARE(Lines(form_->Memo1), QStringList({"Вы сказали: горло", "Целитор: Полощите."}));
        QVERIFY(form_->Edit1->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), form_->Edit1);
        QCOMPARE(form_->State().QueryCount(), 1);
    }

    // Which Enter keys in the input ask: Enter is the character 13, with or without Shift;
    // with Ctrl or Alt it is no Enter character and neither asks nor goes into the field.
    void enterKeysInTheInput_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("asks");
        QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier) << true;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
        QTest::newRow("Shift+Return") << int(Qt::Key_Return) << int(Qt::ShiftModifier) << true;
        QTest::newRow("Ctrl+Return") << int(Qt::Key_Return) << int(Qt::ControlModifier) << false;
        QTest::newRow("Alt+Return") << int(Qt::Key_Return) << int(Qt::AltModifier) << false;
        QTest::newRow("Ctrl+keypad Enter")
            << int(Qt::Key_Enter) << int(Qt::ControlModifier | Qt::KeypadModifier) << false;
    }

    void enterKeysInTheInput() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, asks);
        ShowWindow();
        Type(form_->Edit1, QStringLiteral("горло"));
        const std::vector<Modal> modals = ClosingModals(
            [&] { QTest::keyClick(form_->Edit1, Qt::Key(key), Qt::KeyboardModifiers(modifiers)); });
        QVERIFY(modals.empty());
        QCOMPARE(form_->State().QueryCount(), asks ? 1 : 0);
        QCOMPARE(Lines(form_->Memo1),
                 asks ? QStringList({"Вы сказали: горло", "Целитор: Полощите."}) : QStringList());
        QCOMPARE(form_->Edit1->text(), asks ? QString() : QStringLiteral("горло"));
    }

    void enterOnAFocusedButtonPressesIt() {
        ShowWindow();
        form_->Edit1->setText(QStringLiteral("горло"));
        form_->InBtn->setFocus();
        QTest::keyClick(form_->InBtn, Qt::Key_Return);
        QCOMPARE(Lines(form_->Memo1), QStringList({"Вы сказали: горло", "Целитор: Полощите."}));

        Ask(QStringLiteral("головная боль"));
        form_->ViewBtn->setFocus();
        QTest::keyClick(form_->ViewBtn, Qt::Key_Return);
        QTRY_VERIFY(form_->htv->isVisible());
    }

    void tabOrder() {
        ShowWindow();
        Ask(QStringLiteral("головная боль"));  // shows "Подробно"
        form_->Edit1->setText(
            QStringLiteral("го"));  // the list is a Tab stop while it lists something
        QList<QWidget*> chain;
        QWidget* w = form_->Button1;
        do {
            chain << w;
            w = w->nextInFocusChain();
        } while (w != form_->Button1 && chain.size() < 40);
        QList<QWidget*> focusable;
        for (QWidget* c : chain)
            if (c->focusPolicy() & Qt::TabFocus) focusable << c;
        QCOMPARE(focusable, QList<QWidget*>({form_->Button1, form_->Edit1, form_->InBtn,
                                             form_->DictBox, form_->ViewBtn, form_->Memo1}));
    }

    void typingListsTheQuestions_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("first letter")
            << "г" << QStringList{"гол", "головная боль", "Голод", "горло"};
        QTest::newRow("any letter case") << "ГОЛ" << QStringList{"гол", "головная боль", "Голод"};
        QTest::newRow("blanks around") << "  голо " << QStringList{"головная боль", "Голод"};
        QTest::newRow("past a question into |") << "гол|" << QStringList{"гол"};
        QTest::newRow("no question") << "гх" << QStringList{};
    }

    void typingListsTheQuestions() {
        QFETCH(QString, typed);
        QFETCH(QStringList, entries);
        ShowWindow();
        QTest::mouseClick(form_->Edit1, Qt::LeftButton);
        Type(form_->Edit1, typed);
        QCOMPARE(form_->Edit1->text(), typed);
        QCOMPARE(Entries(*form_), entries);
        QCOMPARE(form_->DictBox->model()->rowCount(), entries.size());
        for (int i = 0; i < entries.size(); ++i)
            QCOMPARE(form_->DictBox->model()->index(i, 0).data().toString(), entries[i]);
        // Deleting everything empties the list.
        for (int i = 0; i < typed.size(); ++i) QTest::keyClick(form_->Edit1, Qt::Key_Backspace);
        QCOMPARE(form_->Suggestions().Count(), 0);
    }

    void doubleClickCopiesAnEntry() {
        ShowWindow();
        // Nothing selected in the empty list: nothing happens.
        QTest::mouseClick(form_->DictBox->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(10, 10));
        QTest::mouseDClick(form_->DictBox->viewport(), Qt::LeftButton, Qt::NoModifier,
                           QPoint(10, 10));
        QVERIFY(form_->Edit1->text().isEmpty());

        form_->Edit1->setText(QStringLiteral("го"));
        QCOMPARE(form_->Suggestions().Count(), 4);
        const QRect row = form_->DictBox->visualRect(form_->DictBox->model()->index(1, 0));
        // A double-click arrives as a click and then the double-click event.
        QTest::mouseClick(form_->DictBox->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
        QTest::mouseDClick(form_->DictBox->viewport(), Qt::LeftButton, Qt::NoModifier,
                           row.center());
        QCOMPARE(form_->Edit1->text(), QStringLiteral("головная боль"));
        QCOMPARE(Entries(*form_), QStringList{"головная боль"});
        QCOMPARE(form_->SelectedSuggestion(), -1);
        QVERIFY(form_->Memo1->toPlainText().isEmpty());
    }

    // The list shows the questions where the phrase list holds them; loading another file
    // into it must leave the entries on show intact.
    void listKeepsItsEntriesWhenAnotherFileIsLoaded() {
        Write(QStringLiteral("mem/п"), QByteArray());
        ShowWindow();
        form_->Edit1->setText(QStringLiteral("го"));
        const QStringList listed = Entries(*form_);
        QCOMPARE(listed.size(), 4);

        // A letter whose file holds no lines: the list keeps what it showed.
        form_->Edit1->setText(QStringLiteral("п"));
        QCOMPARE(form_->myList.Count(), std::size_t{0});
        QCOMPARE(Entries(*form_), listed);

        // A query whose file has become empty meanwhile: the message box paints over a list
        // whose entries came from the lines now gone.
        form_->Edit1->setText(QStringLiteral("го"));
        QCOMPARE(Entries(*form_), listed);
        Write(QStringLiteral("mem/г"), QByteArray());
        const std::vector<Modal> modals = ClosingModals([&] { form_->InBtnClick(); });
        QCOMPARE(modals.size(), std::size_t{1});
        QCOMPARE(modals[0].text, QStringLiteral("Поиск не дал результатов!"));
        QCOMPARE(Entries(*form_), listed);
        QCOMPARE(form_->DictBox->model()->index(3, 0).data().toString(), listed[3]);
        QCOMPARE(windows::ToQString(form_->Suggestion(0)), listed[0]);
    }

    // A long list: keys, scrolling and clicks reach the right row.
    void longListScrollsAndSelects() {
        QByteArray bytes = kBom;
        for (int i = 0; i < 1000; ++i)
            bytes += QStringLiteral("гость %1|ответ %1\n").arg(i, 4, 10, QLatin1Char('0')).toUtf8();
        Write(QStringLiteral("mem/г"), bytes);
        ShowWindow();
        form_->Edit1->setText(QStringLiteral("гость"));
        QCOMPARE(form_->Suggestions().Count(), 1000);
        QListView* list = form_->DictBox;
        const auto shownWhole = [list](int row) {
            return list->viewport()->rect().contains(
                list->visualRect(list->model()->index(row, 0)));
        };
        list->setFocus();
        QTest::keyClick(list, Qt::Key_End);
        QCOMPARE(form_->SelectedSuggestion(), 999);
        QVERIFY(shownWhole(999));
        QVERIFY(!shownWhole(0));
        const int rows =
            list->viewport()->height() / list->visualRect(list->model()->index(999, 0)).height();
        QVERIFY(rows >= 5);
        QTest::keyClick(list, Qt::Key_PageUp);
        QCOMPARE(form_->SelectedSuggestion(), 999 - rows);
        QVERIFY(shownWhole(999 - rows));
        QTest::keyClick(list, Qt::Key_Home);
        QCOMPARE(form_->SelectedSuggestion(), 0);
        QVERIFY(shownWhole(0));

        list->verticalScrollBar()->setValue(500);
        const QRect third = list->visualRect(list->model()->index(502, 0));
        QVERIFY(list->viewport()->rect().contains(third));
        QCOMPARE(list->indexAt(third.center()).row(), 502);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, third.center());
        QCOMPARE(form_->SelectedSuggestion(), 502);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(form_->Edit1->text(), QStringLiteral("гость 0502"));
        QCOMPARE(Entries(*form_), QStringList{QStringLiteral("гость 0502")});
        // Past the last row nothing is hit.
        QVERIFY(!list->indexAt(QPoint(5, list->viewport()->height() - 2)).isValid());
    }

    // Down moves from the field into the list, Enter there takes the entry and goes back,
    // and a second Enter asks.
    void keyboardThroughTheList() {
        ShowWindow();
        QTest::mouseClick(form_->Edit1, Qt::LeftButton);
        Type(form_->Edit1, QStringLiteral("го"));
        QTest::keyClick(form_->Edit1, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), form_->DictBox);
        QCOMPARE(form_->SelectedSuggestion(), 0);
        QTest::keyClick(form_->DictBox, Qt::Key_Down);
        QCOMPARE(form_->SelectedSuggestion(), 1);
        QTest::keyClick(form_->DictBox, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form_->Edit1);
        QCOMPARE(form_->Edit1->text(), QStringLiteral("головная боль"));
        QTest::keyClick(form_->Edit1, Qt::Key_Return);
        QCOMPARE(Lines(form_->Memo1),
                 QStringList({"Вы сказали: головная боль", "Целитор: Отдохните."}));

        // With nothing listed, Down stays in the field.
        QTest::keyClick(form_->Edit1, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), form_->Edit1);
    }

    // Leaving the list by keyboard: Up on the first row and Esc go back to the field, and
    // what is typed in the list is typed into the field.
    void keysInTheListReachTheField_data() {
        QTest::addColumn<int>("downs");  // rows moved down in the list before the key
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("inField");
        QTest::addColumn<QString>("fieldText");
        QTest::addColumn<int>("row");  // the list's current row after the key
        QTest::newRow("Up on the first row")
            << 0 << int(Qt::Key_Up) << QString() << true << "го" << 0;
        QTest::newRow("Up below it moves up")
            << 1 << int(Qt::Key_Up) << QString() << false << "го" << 0;
        QTest::newRow("Esc") << 1 << int(Qt::Key_Escape) << QString() << true << "го" << 1;
        QTest::newRow("a letter") << 1 << int(Qt::Key_L) << QStringLiteral("л") << true << "гол"
                                  << -1;
        QTest::newRow("a space") << 0 << int(Qt::Key_Space) << QStringLiteral(" ") << true << "го "
                                 << -1;
        QTest::newRow("Backspace")
            << 0 << int(Qt::Key_Backspace) << QStringLiteral("\b") << true << "г" << -1;
        QTest::newRow("Ctrl+C stays")
            << 1 << int(Qt::Key_C) << QStringLiteral("\x03") << false << "го" << 1;
    }

    void keysInTheListReachTheField() {
        QFETCH(int, downs);
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(bool, inField);
        QFETCH(QString, fieldText);
        QFETCH(int, row);
        ShowWindow();
        QTest::mouseClick(form_->Edit1, Qt::LeftButton);
        Type(form_->Edit1, QStringLiteral("го"));
        QTest::keyClick(form_->Edit1, Qt::Key_Down);
        for (int i = 0; i < downs; ++i) QTest::keyClick(form_->DictBox, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), form_->DictBox);
        const Qt::KeyboardModifiers modifiers =
            key == Qt::Key_C ? Qt::ControlModifier : Qt::NoModifier;
        QTest::sendKeyEvent(QTest::Click, form_->DictBox, static_cast<Qt::Key>(key), text,
                            modifiers);
        QCOMPARE(QApplication::focusWidget(),
                 inField ? static_cast<QWidget*>(form_->Edit1) : form_->DictBox);
        QCOMPARE(form_->Edit1->text(), fieldText);
        if (row >= 0) QCOMPARE(form_->DictBox->currentIndex().row(), row);
        // The field goes on from where the typing left it.
        if (inField) {
            Type(form_->Edit1, QStringLiteral("л"));
            QCOMPARE(form_->Edit1->text(), fieldText + QStringLiteral("л"));
        }
    }

    // An empty list takes no Tab stop: there is nothing in it to choose.
    void emptyListIsNoTabStop() {
        ShowWindow();
        QTest::mouseClick(form_->Edit1, Qt::LeftButton);
        const auto tabs = [] {
            QList<QWidget*> reached;
            for (int i = 0; i < 2; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                reached << QApplication::focusWidget();
            }
            return reached;
        };
        QCOMPARE(tabs(), (QList<QWidget*>{form_->InBtn, form_->Memo1}));
        QTest::mouseClick(form_->Edit1, Qt::LeftButton);
        Type(form_->Edit1, QStringLiteral("го"));
        QCOMPARE(tabs(), (QList<QWidget*>{form_->InBtn, form_->DictBox}));
        // Emptied while it has the focus, the list hands it to the field.
        form_->Edit1->setText(QStringLiteral("гх"));
        QCOMPARE(form_->Suggestions().Count(), 0);
        QCOMPARE(QApplication::focusWidget(), form_->Edit1);
    }

    void answerWithALinkOpensTheViewer() {
        ShowWindow();
        Ask(QStringLiteral("  ГОЛОВНАЯ боль "));
        QCOMPARE(Lines(form_->Memo1),
                 QStringList({"Вы сказали: ГОЛОВНАЯ боль", "Целитор: Отдохните."}));
        QVERIFY(!form_->ViewBtn->isHidden());
        QCOMPARE(windows::ToQString(form_->State().PagePath()),
                 ProgramDir() + QStringLiteral("bio/golova.html"));
        QVERIFY(form_->Edit1->text().isEmpty());
        QCOMPARE(form_->Suggestions().Count(), 0);

        QTest::mouseClick(form_->ViewBtn, Qt::LeftButton);
        QTRY_VERIFY(form_->htv->isVisible());

        Ask(QStringLiteral("горло"));
        QVERIFY(form_->ViewBtn->isHidden());
        Ask(QStringLiteral("ангина"));
        QCOMPARE(Lines(form_->Memo1),
                 QStringList({"Вы сказали: ангина", "Целитор: Ничего не найдено!"}));
    }

    void messageBoxes() {
        Write(QStringLiteral("mem/п"), QByteArray());
        ShowWindow();
        Ask(QStringLiteral("горло"));
        std::vector<Modal> modals = ClosingModals([&] { Ask(QStringLiteral("   ")); });
        QCOMPARE(modals.size(), std::size_t{1});
        QCOMPARE(modals[0].objectName, QStringLiteral("Message"));
        QCOMPARE(modals[0].text, QStringLiteral("Введите текст!"));
        QCOMPARE(modals[0].caption, QStringLiteral("Tsldemo"));
        QCOMPARE(modals[0].icon, QMessageBox::NoIcon);
        QCOMPARE(modals[0].buttons, QStringList{QStringLiteral("OK")});
        QCOMPARE(Lines(form_->Memo1), QStringList({"Вы сказали: горло", "Целитор: Полощите."}));

        // An empty knowledge file: the echo, the message, and the input stays.
        modals = ClosingModals([&] { Ask(QStringLiteral("привет")); });
        QCOMPARE(modals.size(), std::size_t{1});
        QCOMPARE(modals[0].text, QStringLiteral("Поиск не дал результатов!"));
        QCOMPARE(Lines(form_->Memo1), QStringList({"Вы сказали: привет"}));
        QCOMPARE(form_->Edit1->text(), QStringLiteral("привет"));

        // The seventh action brings up the About window first; "О программе" counts nothing.
        ClosingModals([&] { QTest::mouseClick(form_->Button1, Qt::LeftButton); });
        QCOMPARE(form_->State().QueryCount(), 3);
        ClosingModals([&] {
            for (int i = 0; i < 3; ++i) Ask(QStringLiteral("горло"));
        });
        modals = ClosingModals([&] { Ask(QStringLiteral(" ")); });
        QCOMPARE(modals.size(), std::size_t{2});
        QCOMPARE(modals[0].objectName, QStringLiteral("Viw"));
        QCOMPARE(modals[1].text, QStringLiteral("Введите текст!"));
        QCOMPARE(form_->State().QueryCount(), 0);
    }

    void brokenKnowledgeFile_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("report");
        const QString noMapping = QStringLiteral(
            "No mapping for the Unicode character exists in the target multi-byte code page.");
        QTest::newRow("invalid UTF-8")
            << "mem/x" << QByteArray("\xEF\xBB\xBF\xFF") << "x" << noMapping;
        QTest::newRow("UTF-16 mark and one byte")
            << "mem/y" << QByteArray("\xFF\xFE\x41") << "y" << noMapping;
        QTest::newRow("missing fallback") << "" << QByteArray() << "?"
                                          << "Cannot open file \"%1\". No such file or directory.";
    }

    // The error report comes up, the list keeps its lines, and the program goes on.
    void brokenKnowledgeFile() {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, input);
        QFETCH(QString, report);
        if (file.isEmpty())
            QVERIFY(QFile::remove(ProgramDir() + QStringLiteral("mem/ь")));
        else
            Write(file, bytes);
        // The message names the file with the system's own separators.
        if (report.contains(QLatin1String("%1")))
            report = report.arg(QDir::toNativeSeparators(QDir(dir_->path()).canonicalPath() +
                                                         QStringLiteral("/mem/ь")));
        ShowWindow();
        Ask(QStringLiteral("головная боль"));
        form_->Edit1->setText(QStringLiteral("го"));
        const QStringList listed = Entries(*form_);
        QCOMPARE(form_->myList.Count(), std::size_t{4});

        std::vector<Modal> modals = ClosingModals([&] { form_->Edit1->setText(input); });
        QCOMPARE(modals.size(), std::size_t{1});
        QCOMPARE(modals[0].icon, QMessageBox::Critical);
        QCOMPARE(modals[0].caption, QStringLiteral("Tsldemo"));
        QCOMPARE(modals[0].text, report);
        QCOMPARE(form_->myList.Count(), std::size_t{4});
        QCOMPARE(Entries(*form_), listed);
        QCOMPARE(form_->DictBox->model()->rowCount(), listed.size());

        modals = ClosingModals([&] { form_->InBtnClick(); });
        QCOMPARE(modals.size(), std::size_t{1});
        QCOMPARE(modals[0].text, report);
        QVERIFY(form_->Memo1->toPlainText().isEmpty());
        QVERIFY(form_->ViewBtn->isHidden());
        QCOMPARE(form_->Edit1->text(), input);
        QCOMPARE(form_->myList.Count(), std::size_t{4});

        modals = ClosingModals([&] { Ask(QStringLiteral("горло")); });
        QVERIFY(modals.empty());
        QCOMPARE(Lines(form_->Memo1), QStringList({"Вы сказали: горло", "Целитор: Полощите."}));
    }
};

QTEST_MAIN(Unit1Test)
#include "test_unit1.moc"
