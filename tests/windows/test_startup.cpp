// Start-up without a display: the program's own one-line message and exit status where no
// platform can show its windows, and Qt's messages given on as usual where one can.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "display_check.h"

namespace {

QStringList received;

void Receive(QtMsgType, const QMessageLogContext&, const QString& text) { received << text; }

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void withoutADisplayTheProgramSaysSo_data();
    void withoutADisplayTheProgramSaysSo();
    void messagesAreHeldUntilTheApplicationIsMade();
};

void TestStartup::withoutADisplayTheProgramSaysSo_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("display");   // empty: DISPLAY unset
    QTest::addColumn<QString>("platform");  // QT_QPA_PLATFORM; empty: unset
    QTest::newRow("no DISPLAY") << QStringList{} << ""
                                << "";
    QTest::newRow("DISPLAY that no server answers") << QStringList{} << ":9731"
                                                    << "";
    QTest::newRow("QT_QPA_PLATFORM=xcb, no DISPLAY") << QStringList{} << ""
                                                     << "xcb";
    QTest::newRow("-platform xcb over QT_QPA_PLATFORM=offscreen")
        << QStringList{"-platform", "xcb"} << ""
        << "offscreen";
}

void TestStartup::withoutADisplayTheProgramSaysSo() {
    QFETCH(QStringList, args);
    QFETCH(QString, display);
    QFETCH(QString, platform);
    QTemporaryDir runtime;  // no Wayland socket in it
    QVERIFY(runtime.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    if (!display.isEmpty()) environment.insert(QStringLiteral("DISPLAY"), display);
    if (!platform.isEmpty()) environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TSL_PROGRAM), args);
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    const QString error = QString::fromUtf8(program.readAllStandardError());
    QCOMPARE(error, QString::fromStdString(windows::NoDisplayMessage("tsldemo")) + u'\n');
    QVERIFY(error.contains(QStringLiteral("нет дисплея")) &&
            error.contains(QStringLiteral("no display")));
    QVERIFY(program.readAllStandardOutput().isEmpty());
}

// While the application is made, Qt's messages wait; made, they go where they always go.
void TestStartup::messagesAreHeldUntilTheApplicationIsMade() {
    received.clear();
    const QtMessageHandler before = qInstallMessageHandler(Receive);
    QStringList whileHeld;
    {
        const windows::NoDisplayGuard guard("tsldemo");
        qWarning("first");
        qInfo("second");
        whileHeld = received;
    }
    qInstallMessageHandler(before);
    QVERIFY(whileHeld.isEmpty());
    QCOMPARE(received, (QStringList{"first", "second"}));
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
