#include "main_window_splitter.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>

namespace windows {
namespace {

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

}  // namespace

Splitter::Splitter(const QString& name, const QColor& colour, std::function<int()> panelWidth,
                   QWidget* parent)
    : QWidget(parent), colour_(colour), panelWidth_(std::move(panelWidth)) {
    setObjectName(name);
    setAccessibleName(QStringLiteral("Разделитель"));
    setCursor(Qt::SplitHCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    line_ = new HatchedLine(parent);
}

int Splitter::PanelWidthFor(int barLeft, int barWidth, int clientWidth) {
    const int wanted = clientWidth - barWidth - barLeft;
    const int widest = clientWidth - kMinSize - barWidth;
    const int width = std::min(wanted, widest);
    return width <= kMinSize ? 0 : width;
}

int Splitter::WidthAt(const QPointF& localPos) const {
    const int x = mapToParent(localPos.toPoint()).x();
    const int barLeft = parentWidget()->width() - width() - downPanelWidth_ + (x - downX_);
    return PanelWidthFor(barLeft, width(), parentWidget()->width());
}

void Splitter::ShowLineFor(int panelWidth) {
    line_->setGeometry(parentWidget()->width() - panelWidth - width(), y(), width(), height());
    line_->raise();
    line_->show();
}

void Splitter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), colour_);
}

void Splitter::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    downX_ = mapToParent(event->position().toPoint()).x();
    downPanelWidth_ = panelWidth_();
    ShowLineFor(WidthAt(event->position()));
}

void Splitter::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    ShowLineFor(WidthAt(event->position()));
}

void Splitter::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) return;
    dragging_ = false;
    line_->hide();
    emit Moved(WidthAt(event->position()));
}

}  // namespace windows
