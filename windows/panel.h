#pragma once
// A panel as the windows use it: its own colour, a raised bevel one pixel wide.
#include <QColor>
#include <QFrame>

namespace windows {

class Panel : public QFrame {
    Q_OBJECT
public:
    Panel(const QString& name, const QColor& colour, QWidget* parent = nullptr);
};

}  // namespace windows
