#include "splitter.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>

namespace windows {
namespace {

// How much lighter and darker than the bar its lit and shaded edges are, in percent.
constexpr int kBevelContrast = 160;

class HatchedLine : public QWidget {
public:
    explicit HatchedLine(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("SplitterLine"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QBrush(Qt::black, Qt::Dense4Pattern));
    }
};

// Transparent: it paints nothing and hands the mouse to the bar.
class BarGrabArea : public QWidget {
public:
    explicit BarGrabArea(Splitter* bar) : QWidget(bar->parentWidget()), bar_(bar) {
        setObjectName(QStringLiteral("SplitterGrabArea"));
        setCursor(Qt::SplitHCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            bar_->Press(XInParent(event));
        else
            QWidget::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override { bar_->Drag(XInParent(event)); }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) bar_->Release(XInParent(event));
    }

private:
    int XInParent(const QMouseEvent* event) const {
        return mapToParent(event->position().toPoint()).x();
    }

    Splitter* bar_;
};

}  // namespace

Splitter::Splitter(const QString& name, const QColor& colour, std::function<int()> panelWidth,
                   QWidget* parent)
    : QWidget(parent), colour_(colour), panelWidth_(std::move(panelWidth)) {
    setObjectName(name);
    setAccessibleName(QStringLiteral("Разделитель"));
    setCursor(Qt::SplitHCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    line_ = new HatchedLine(parent);
    grab_ = new BarGrabArea(this);
}

int Splitter::PanelWidthFor(int barLeft, int barWidth, int clientWidth) {
    const int wanted = clientWidth - barWidth - barLeft;
    const int widest = clientWidth - kMinSize - barWidth;
    const int width = std::min(wanted, widest);
    return width <= kMinSize ? 0 : width;
}

int Splitter::WidthAt(int x) const {
    const int barLeft = parentWidget()->width() - width() - downPanelWidth_ + (x - downX_);
    return PanelWidthFor(barLeft, width(), parentWidget()->width());
}

void Splitter::ShowLineFor(int panelWidth) {
    line_->setGeometry(parentWidget()->width() - panelWidth - width(), y(), width(), height());
    line_->raise();
    line_->show();
}

void Splitter::paintEvent(QPaintEvent*) {
    // A raised bevel in the bar's own colour: lit on the left, in shadow on the right.
    QPainter painter(this);
    painter.fillRect(rect(), colour_);
    painter.fillRect(0, 0, 1, height(), colour_.lighter(kBevelContrast));
    if (width() > 1) painter.fillRect(width() - 1, 0, 1, height(), colour_.darker(kBevelContrast));
}

void Splitter::Press(int x) {
    dragging_ = true;
    downX_ = x;
    downPanelWidth_ = panelWidth_();
    ShowLineFor(WidthAt(x));
}

void Splitter::Drag(int x) {
    if (dragging_) ShowLineFor(WidthAt(x));
}

void Splitter::Release(int x) {
    if (!dragging_) return;
    dragging_ = false;
    line_->hide();
    emit Moved(WidthAt(x));
}

void Splitter::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    Press(mapToParent(event->position().toPoint()).x());
}

void Splitter::mouseMoveEvent(QMouseEvent* event) {
    Drag(mapToParent(event->position().toPoint()).x());
}

void Splitter::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) Release(mapToParent(event->position().toPoint()).x());
}

void Splitter::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    PlaceGrabArea();
}

void Splitter::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceGrabArea();
}

void Splitter::PlaceGrabArea() {
    grab_->setGeometry(geometry().adjusted(-kGrabMargin, 0, kGrabMargin, 0));
    // Above the panels beside the bar, which were created after it.
    grab_->raise();
}

}  // namespace windows
