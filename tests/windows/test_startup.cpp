// Start-up without a display: which platform Qt will be asked for, and the program's own
// one-line message and exit status where none can show its windows.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "display_check.h"

using windows::PlatformRequest;

namespace {

std::vector<std::string> Args(const QStringList& list) {
    std::vector<std::string> args{"tsldemo"};
    for (const QString& arg : list) args.push_back(arg.toStdString());
    return args;
}

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void platformAsQtChoosesIt_data();
    void platformAsQtChoosesIt();
    void withoutADisplayTheProgramSaysSo();
};

void TestStartup::platformAsQtChoosesIt_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("environment");  // QT_QPA_PLATFORM; empty: unset
    QTest::addColumn<bool>("x11");
    QTest::addColumn<bool>("wayland");
    QTest::addColumn<bool>("usable");
    QTest::addColumn<QString>("display");

    QTest::newRow("nothing asked, no display") << QStringList{} << "" << false << false << false << "";
    QTest::newRow("nothing asked, X11") << QStringList{} << "" << true << false << true << "";
    QTest::newRow("nothing asked, Wayland") << QStringList{} << "" << false << true << true << "";
    QTest::newRow("-platform offscreen") << QStringList{"-platform", "offscreen"} << "" << false << false << true << "";
    QTest::newRow("--platform with options")
        << QStringList{"--platform", "offscreen:fontengine=freetype"} << "" << false << false << true << "";
    QTest::newRow("QT_QPA_PLATFORM=offscreen") << QStringList{} << "offscreen" << false << false << true << "";
    QTest::newRow("QT_QPA_PLATFORM=xcb, no X") << QStringList{} << "xcb" << false << true << false << "";
    QTest::newRow("the command line before the variable")
        << QStringList{"-platform", "xcb"} << "offscreen" << false << false << false << "";
    QTest::newRow("a list falls back") << QStringList{} << "wayland;xcb" << true << false << true << "";
    QTest::newRow("-display") << QStringList{"-display", ":7"} << "" << false << false << false << ":7";
    QTest::newRow("-platform without its name") << QStringList{"-platform"} << "" << true << false << true << "";
}

void TestStartup::platformAsQtChoosesIt() {
    QFETCH(QStringList, args);
    QFETCH(QString, environment);
    QFETCH(bool, x11);
    QFETCH(bool, wayland);
    QFETCH(bool, usable);
    QFETCH(QString, display);
    const std::string platformVariable = environment.toStdString();
    const PlatformRequest request = windows::RequestedPlatform(Args(args), [&](const char* name) -> const char* {
        return std::string_view(name) == "QT_QPA_PLATFORM" && !platformVariable.empty() ? platformVariable.c_str()
                                                                                         : nullptr;
    });
    QCOMPARE(QString::fromStdString(request.x11Display), display);
    std::string askedDisplay = "none";
    const bool answer = windows::PlatformUsable(
        request,
        [&](const std::string& name) {
            askedDisplay = name;
            return x11;
        },
        [&] { return wayland; });
    QCOMPARE(answer, usable);
    if (!x11 && !wayland && !usable) QCOMPARE(QString::fromStdString(askedDisplay), display);
}

void TestStartup::withoutADisplayTheProgramSaysSo() {
    QTemporaryDir runtime;  // no Wayland socket in it
    QVERIFY(runtime.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TSL_PROGRAM), {});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    const QString error = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(error.endsWith(u'\n') && error.count(u'\n') == 1, qPrintable(error));
    QVERIFY2(error.startsWith(QStringLiteral("tsldemo: нет графического дисплея")), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("no graphical display")), qPrintable(error));
    QVERIFY(program.readAllStandardOutput().isEmpty());
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
