// The yardstick for start-up: the smallest Qt Widgets program with a window of the main
// window's size, started and detected the same way as the program. With --text the window
// also shows one line of text, which brings in the font machinery (fontconfig, FreeType,
// HarfBuzz) that any window with text needs and the bare window never loads.
#include <cstring>

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal Qt window"));
    window.resize(641, 376);
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0)
        new QLabel(QStringLiteral("Minimal Qt window"), &window);
    window.show();
    return QApplication::exec();
}
