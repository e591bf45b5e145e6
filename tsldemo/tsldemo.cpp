// The program: the application, the main window, the viewer and the About window hidden,
// then the event loop until the main window closes.
#include <filesystem>
#include <optional>
#include <string>

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "Mesager.h"
#include "Unit1.h"
#include "application_title.h"
#include "display_check.h"
#include "qt_strings.h"
#include "rules.h"
#include "htview.h"
#include "qt_translations.h"

int main(int argc, char** argv) {
    std::optional<QApplication> application;
    {
        const windows::NoDisplayGuard noDisplay(
            argc > 0 ? std::filesystem::path(argv[0]).filename().string() : std::string("tsldemo"));
        application.emplace(argc, argv);
    }
    QApplication& app = *application;
    windows::InstallQtTranslations(app);
    // The title captions every message box. It goes in as the application's name: a
    // display name would also be appended to every window's caption on X11.
    QApplication::setApplicationName(
        windows::ApplicationTitleFor(QApplication::applicationFilePath()));
    // The desktop entry's name, which Wayland takes as the window's application id.
    QApplication::setDesktopFileName(QStringLiteral(TSL_APP_ID));
    QApplication::setWindowIcon(windows::ProgramIcon());

    // The knowledge base lies beside the executable's real file, so a link to it works.
    const QFileInfo executable(QFileInfo(QApplication::applicationFilePath()).canonicalFilePath());
    const QString programDir = executable.absolutePath() + QLatin1Char('/');

    windows::TForm1 Form1(windows::ToU16(programDir));
    auto* htv = new windows::Thtv(
        windows::ToQString(dialogue::ArticleRoot(windows::ToU16(programDir))), &Form1);
    auto* Viw = new windows::TViw(&Form1);
    Form1.AttachViewer(htv);
    Form1.AttachAbout(Viw);

    Form1.show();
    return QApplication::exec();
}
