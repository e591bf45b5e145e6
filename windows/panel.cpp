#include "panel.h"

#include <QPalette>

namespace windows {

Panel::Panel(const QString& name, const QColor& colour, QWidget* parent) : QFrame(parent) {
    setObjectName(name);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
}

}  // namespace windows
