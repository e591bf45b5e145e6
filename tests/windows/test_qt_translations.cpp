// Qt's own texts in Russian, as the program loads them at start, while the texts the
// program sets itself - above all the message boxes' single "OK" - stay as they are.
#include <memory>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "Unit1.h"
#include "error_report.h"
#include "message_box.h"
#include "qt_translations.h"

using windows::TForm1;

namespace {

// The button texts of the message box that comes up while action runs, answered at once.
QStringList ButtonsOfBox(const std::function<void()>& action) {
    windows::MessageBox::TakeShown();
    windows::MessageBox::SetNextAnswer(QMessageBox::Ok);
    action();
    const std::vector<windows::MessageBox::Shown> shown = windows::MessageBox::TakeShown();
    return shown.empty() ? QStringList() : shown.front().buttons;
}

QStringList ActionTexts(QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        QString text = action->text();
        text.remove(u'&');
        texts << text.section(u'\t', 0, 0);
    }
    return texts;
}

}  // namespace

class QtTranslationsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TForm1> form_;

private slots:
    void initTestCase() {
        QApplication::setApplicationName(QStringLiteral("Tsldemo"));
        QVERIFY2(windows::InstallQtTranslations(*QApplication::instance()),
                 "qtbase_ru is installed (package qt6-translations-l10n)");
        QCOMPARE(QCoreApplication::translate("QLineEdit", "&Copy"), QStringLiteral("&Копировать"));
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("mem")));
        form_ = std::make_unique<TForm1>(windows::ToU16(dir_->path() + QLatin1Char('/')));
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }

    void cleanupTestCase() { form_.reset(); }

    void contextMenusAreRussian_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("input") << "Edit1";
        QTest::newRow("transcript") << "Memo1";
    }

    void contextMenusAreRussian() {
        QFETCH(QString, control);
        QWidget* widget = form_->findChild<QWidget*>(control);
        QVERIFY(widget);
        std::unique_ptr<QMenu> menu;
        if (auto* line = qobject_cast<QLineEdit*>(widget))
            menu.reset(line->createStandardContextMenu());
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget))
            menu.reset(memo->createStandardContextMenu());
        QVERIFY(menu);
        const QStringList texts = ActionTexts(menu.get());
        for (const char* expected : {"Копировать", "Вставить", "Выделить всё"})
            QVERIFY2(texts.contains(QString::fromUtf8(expected)), qPrintable(texts.join(u'|')));
        QVERIFY2(!texts.contains(QStringLiteral("Copy")), qPrintable(texts.join(u'|')));
    }

    // The program's own message and the error report keep their single "OK".
    void messageBoxesKeepTheirOk_data() {
        QTest::addColumn<bool>("errorReport");
        QTest::newRow("message") << false;
        QTest::newRow("error report") << true;
    }

    void messageBoxesKeepTheirOk() {
        QFETCH(bool, errorReport);
        const QStringList buttons = ButtonsOfBox([&] {
            if (errorReport)
                windows::ShowErrorReport(form_.get(), u"Сбой");
            else
                form_->ShowMessage(u"Введите текст!");
        });
        QCOMPARE(buttons, QStringList{QStringLiteral("OK")});
    }
};

QTEST_MAIN(QtTranslationsTest)
#include "test_qt_translations.moc"
