#pragma once
// The frame an X11 window manager will put around a window, asked for before the window is
// first mapped (_NET_REQUEST_FRAME_EXTENTS) and waited for briefly. Empty where there is no
// such window manager: another platform, or one that does not answer.
#include <optional>

#include <QMargins>

class QWidget;

namespace windows {

std::optional<QMargins> AskWindowManager(QWidget* window);

}  // namespace windows
