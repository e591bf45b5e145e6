#pragma once
// Start-up where no display can be reached: instead of Qt's abort with advice meant for
// packagers, one line in Russian and English on standard error and exit status 1.
#include <string>

namespace windows {

// While it lives (around making the QApplication), Qt's messages are held back. When Qt
// finds no platform that can show windows, the program writes NoDisplayMessage and ends
// with status 1; otherwise the held messages are written as usual when the guard goes.
// Nothing is asked of the display beforehand: the platform is found as Qt finds it, so
// -platform and QT_QPA_PLATFORM work as ever, and start-up costs nothing more.
class NoDisplayGuard {
public:
    explicit NoDisplayGuard(std::string program);
    ~NoDisplayGuard();
    NoDisplayGuard(const NoDisplayGuard&) = delete;
    NoDisplayGuard& operator=(const NoDisplayGuard&) = delete;
};

// The one line the program writes to standard error when there is no display.
std::string NoDisplayMessage(const std::string& program);

}  // namespace windows
