#pragma once
// The event boundary: every handler runs to its end here, and whatever the dialogue
// raises becomes the application's error report instead of crossing the Qt event loop.
#include <exception>
#include <new>
#include <string_view>

#include "errors.h"
#include "qt_strings.h"

class QWidget;

namespace windows {

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
