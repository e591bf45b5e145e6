// The program: the application, the main window, the viewer and the About window hidden,
// then the event loop until the main window closes.
#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "Mesager.h"
#include "Unit1.h"
#include "app_support.h"
#include "htview.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The title captions every message box. It goes in as the application's name: a
    // display name would also be appended to every window's caption on X11.
    QApplication::setApplicationName(windows::ApplicationTitleFor(QApplication::applicationFilePath()));
    QApplication::setDesktopFileName(QStringLiteral("tsldemo"));
    QApplication::setWindowIcon(windows::ProgramIcon());

    // The knowledge base lies beside the executable's real file, so a link to it works.
    const QFileInfo executable(QFileInfo(QApplication::applicationFilePath()).canonicalFilePath());
    const QString programDir = executable.absolutePath() + QLatin1Char('/');

    windows::TForm1 Form1(windows::ToU16(programDir));
    auto* htv = new windows::Thtv(programDir + QStringLiteral("bio"), &Form1);
    auto* Viw = new windows::TViw(&Form1);
    // Only the main window's closing ends the program.
    htv->setAttribute(Qt::WA_QuitOnClose, false);
    Viw->setAttribute(Qt::WA_QuitOnClose, false);
    Form1.AttachViewer(htv);
    Form1.AttachAbout(Viw);

    Form1.show();
    return QApplication::exec();
}
