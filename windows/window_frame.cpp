#include "window_frame.h"

#include <algorithm>

#include <QStyle>
#include <QWidget>
#include <QWindow>

#include "window_manager_frame.h"

namespace windows {

std::optional<QMargins> FrameBeforeShow(QWidget* window) {
    if (auto answer = AskWindowManager(window)) {
        // The window manager counts the screen's pixels; the window is laid out in Qt's,
        // which differ on a scaled screen.
        const qreal ratio = window->devicePixelRatioF();
        if (ratio == 1.0) return answer;
        return QMargins(qRound(answer->left() / ratio), qRound(answer->top() / ratio),
                        qRound(answer->right() / ratio), qRound(answer->bottom() / ratio));
    }
    // Platforms that draw the frame themselves know it once the native window exists.
    window->winId();
    return FrameNow(window);
}

std::optional<QMargins> FrameNow(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    if (!handle) return std::nullopt;
    const QMargins frame = handle->frameMargins();
    if (frame.isNull()) return std::nullopt;
    return frame;
}

QRect CentredClient(const QSize& client, const QMargins& frame, const QRect& area) {
    const QSize outer = client.grownBy(frame);
    QRect outerRect = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, outer, area);
    if (outer.width() > area.width()) outerRect.moveLeft(area.left());
    if (outer.height() > area.height()) outerRect.moveTop(area.top());
    return outerRect.marginsRemoved(frame);
}

QSize FittedClient(const QSize& client, const QMargins& frame, const QRect& area,
                   const QSize& minimum) {
    const QSize room = area.size().shrunkBy(frame);
    return client.boundedTo(room).expandedTo(minimum);
}

}  // namespace windows
