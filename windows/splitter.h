#pragma once
// The bar between the conversation and the suggestion panel. A drag shows a hatched line
// where the bar will go and resizes the panel only when the mouse button is released.
// The bar is drawn 2 pixels wide, bevelled in its colour; an invisible grab area a few pixels wider
// on each side takes the mouse for it, over the panels' bevels and margins.
#include <functional>

#include <QColor>
#include <QWidget>

namespace windows {

class Splitter : public QWidget {
    Q_OBJECT
public:
    // A panel narrower than this collapses to nothing; the rest of the window keeps as much.
    static constexpr int kMinSize = 30;
    // How far the grab area reaches beyond the drawn bar on either side.
    static constexpr int kGrabMargin = 3;

    // panelWidth reads the width of the right-aligned panel that the bar resizes.
    Splitter(const QString& name, const QColor& colour, std::function<int()> panelWidth,
             QWidget* parent);

    // The panel width a drag ends with, the bar's left edge at barLeft in a parent
    // clientWidth wide: at most clientWidth - 32, and 0 for kMinSize or less.
    static int PanelWidthFor(int barLeft, int barWidth, int clientWidth);

    // The hatched line shown during a drag; hidden otherwise.
    QWidget* DragLine() const { return line_; }
    // The area that takes the mouse for the bar, kGrabMargin wider on each side.
    QWidget* GrabArea() const { return grab_; }

    // A drag, with x in the parent's coordinates; the bar's own mouse events and those of
    // its grab area end up here.
    void Press(int x);
    void Drag(int x);
    void Release(int x);

signals:
    // Released after a drag: the panel's new width.
    void Moved(int panelWidth);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int WidthAt(int x) const;
    void PlaceGrabArea();
    void ShowLineFor(int panelWidth);

    QColor colour_;
    std::function<int()> panelWidth_;
    QWidget* line_ = nullptr;
    QWidget* grab_ = nullptr;
    bool dragging_ = false;
    int downX_ = 0;  // press position in the parent
    int downPanelWidth_ = 0;
};

}  // namespace windows
