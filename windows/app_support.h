#pragma once
// What every window shares: the application's title, string conversion, and the event
// boundary at which failures of the dialogue become the application's error report.
#include <exception>
#include <new>
#include <string>
#include <string_view>

#include <QString>

#include "errors.h"

class QWidget;

namespace windows {

inline QString ToQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}
inline std::u16string ToU16(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

// The executable's file name up to its first dot, every letter after the first in lower
// case, the first as it is: "TslDemo.exe" gives "Tsldemo", "tsldemo" stays "tsldemo".
QString ApplicationTitleFor(const QString& executablePath);

// The modal error report: critical icon, the message by the report's text rule, the
// application's title as caption. The program goes on afterwards.
void ShowErrorReport(QWidget* parent, std::u16string_view message);

// Runs one handler to its end; whatever it raises is reported here and goes no further.
template <class Handler>
void RunHandler(QWidget* parent, Handler&& handler) noexcept {
    try {
        handler();
    } catch (const dialogue::DialogueError& error) {
        ShowErrorReport(parent, error.Message());
    } catch (const std::bad_alloc&) {
        ShowErrorReport(parent, u"Out of memory");
    } catch (const std::exception& error) {
        ShowErrorReport(parent, dialogue::FromUtf8(error.what()));
    }
}

}  // namespace windows
