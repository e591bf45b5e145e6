#pragma once
// The frame that the window manager puts around a top-level window, known before the window
// is first shown, so that a window can be given its outer size or centred by its outer edges
// without moving once it is on the screen.
#include <optional>

#include <QMargins>
#include <QRect>

class QWidget;

namespace windows {

// The frame window will get: on X11 the window manager is asked for it ahead of mapping
// (_NET_REQUEST_FRAME_EXTENTS), waiting briefly for the answer; elsewhere, and when the
// window manager does not answer, the frame Qt already knows for the window. Empty when
// nothing is known (no window manager, the offscreen platform).
std::optional<QMargins> FrameBeforeShow(QWidget* window);

// The frame window has on the screen now, once the window manager has framed it.
std::optional<QMargins> FrameNow(const QWidget* window);

// The client rectangle whose frame, of the given margins, is centred in area; a frame larger
// than the area starts at its top-left corner, so that the title bar stays in reach.
QRect CentredClient(const QSize& client, const QMargins& frame, const QRect& area);

// The client size asked for where the window fits in area with its frame; else made as much
// smaller as it must to fit, though not below minimum.
QSize FittedClient(const QSize& client, const QMargins& frame, const QRect& area,
                   const QSize& minimum = {});

}  // namespace windows
