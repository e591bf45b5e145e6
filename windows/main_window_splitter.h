#pragma once
// The bar between the conversation and the suggestion panel. A drag shows a hatched line
// where the bar will go and resizes the panel only when the mouse button is released.
#include <functional>

#include <QColor>
#include <QWidget>

namespace windows {

class Splitter : public QWidget {
    Q_OBJECT
public:
    // A panel narrower than this collapses to nothing; the rest of the window keeps as much.
    static constexpr int kMinSize = 30;

    // panelWidth reads the width of the right-aligned panel that the bar resizes.
    Splitter(const QString& name, const QColor& colour, std::function<int()> panelWidth, QWidget* parent);

    // The panel width a drag ends with, the bar's left edge at barLeft in a parent
    // clientWidth wide: at most clientWidth - 32, and 0 for kMinSize or less.
    static int PanelWidthFor(int barLeft, int barWidth, int clientWidth);

    // The hatched line shown during a drag; hidden otherwise.
    QWidget* DragLine() const { return line_; }

signals:
    // Released after a drag: the panel's new width.
    void Moved(int panelWidth);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int WidthAt(const QPointF& localPos) const;
    void ShowLineFor(int panelWidth);

    QColor colour_;
    std::function<int()> panelWidth_;
    QWidget* line_ = nullptr;
    bool dragging_ = false;
    int downX_ = 0;          // press position in the parent
    int downPanelWidth_ = 0;
};

}  // namespace windows
