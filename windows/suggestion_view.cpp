#include "suggestion_view.h"

#include <algorithm>
#include <limits>

#include <QAccessible>
#include <QApplication>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QPaintEvent>
#include <QScrollBar>
#include <QToolTip>

namespace windows {
namespace {

int ClampToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min() / 2,
                                                  std::numeric_limits<int>::max() / 2));
}

// A row is one line of text, clipped like a list box clips it. The style's own item
// painting lays the text out three times (size, eliding, drawing); this does it once.
class RowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static constexpr int kMargin = 2;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QPalette::ColorGroup group =
            !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
            : (option.state & QStyle::State_Active) ? QPalette::Active
                                                    : QPalette::Inactive;
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        if (selected)
            painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
        painter->setPen(
            option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(option.font);
        painter->setClipRect(option.rect);
        painter->drawText(option.rect.adjusted(kMargin, 0, -kMargin, 0),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          index.data().toString());
        painter->restore();
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.state |= QStyle::State_KeyboardFocusChange;
            focus.backgroundColor =
                option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
            const QWidget* widget = option.widget;
            QStyle* style = widget ? widget->style() : QApplication::style();
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
        }
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(option.rect.width(), option.fontMetrics.height());
    }
};

}  // namespace

SuggestionView::SuggestionView(QWidget* parent) : QListView(parent) {
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(true);
    setItemDelegate(new RowDelegate(this));
}

int SuggestionView::Rows() const { return model() ? model()->rowCount(rootIndex()) : 0; }

int SuggestionView::TopRow() const { return verticalScrollBar()->value(); }

int SuggestionView::WholeRowsShown() const {
    return std::max(1, viewport()->height() / rowHeight_);
}

long long SuggestionView::RowAtY(int y) const {
    const long long offset = y >= 0 ? y / rowHeight_ : -1 - (-1 - y) / rowHeight_;
    return TopRow() + offset;
}

QModelIndex SuggestionView::Row(long long row) const {
    if (row < 0 || row >= Rows()) return {};
    return model()->index(static_cast<int>(row), modelColumn(), rootIndex());
}

void SuggestionView::LayOutNow() const {
    // A reset lays out only on the next round of the event loop; whoever asks earlier
    // gets the layout at once.
    const_cast<SuggestionView*>(this)->executeDelayedItemsLayout();
}

QRect SuggestionView::visualRect(const QModelIndex& index) const {
    LayOutNow();
    if (!index.isValid() || index.parent() != rootIndex() || index.column() != modelColumn())
        return {};
    const long long y = (static_cast<long long>(index.row()) - TopRow()) * rowHeight_;
    return QRect(0, ClampToInt(y), viewport()->width(), rowHeight_);
}

QModelIndex SuggestionView::indexAt(const QPoint& point) const {
    LayOutNow();
    if (point.x() < 0 || point.x() >= viewport()->width()) return {};
    return Row(RowAtY(point.y()));
}

void SuggestionView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid()) return;
    LayOutNow();
    const int row = index.row();
    const int shown = WholeRowsShown();
    int top = TopRow();
    switch (hint) {
    case EnsureVisible:
        if (row < top)
            top = row;
        else if (row >= top + shown)
            top = row - shown + 1;
        break;
    case PositionAtTop:
        top = row;
        break;
    case PositionAtBottom:
        top = row - shown + 1;
        break;
    case PositionAtCenter:
        top = row - shown / 2;
        break;
    }
    verticalScrollBar()->setValue(top);
}

void SuggestionView::doItemsLayout() {
    int height = 0;
    if (const QModelIndex first = Row(0); first.isValid()) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        height = itemDelegateForIndex(first)->sizeHint(option, first).height();
    }
    rowHeight_ = std::max(1, height > 0 ? height : fontMetrics().height());
    QAbstractItemView::doItemsLayout();
}

void SuggestionView::updateGeometries() {
    QScrollBar* bar = verticalScrollBar();
    const int shown = WholeRowsShown();
    bar->setSingleStep(1);
    bar->setPageStep(shown);
    bar->setRange(0, std::max(0, Rows() - shown));
    horizontalScrollBar()->setRange(0, 0);
    QAbstractItemView::updateGeometries();
}

void SuggestionView::paintEvent(QPaintEvent* event) {
    if (!model()) return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QStyle::State base = option.state;
    const QModelIndex current = currentIndex();
    const bool focus = (hasFocus() || viewport()->hasFocus()) && current.isValid();
    QPainter painter(viewport());
    const QRect area = event->rect();
    const long long last = std::min<long long>(RowAtY(area.bottom()), Rows() - 1);
    for (long long row = std::max<long long>(RowAtY(area.top()), 0); row <= last; ++row) {
        const QModelIndex index = Row(row);
        option.rect = visualRect(index);
        option.state = base;
        if (selectionModel() && selectionModel()->isSelected(index))
            option.state |= QStyle::State_Selected;
        if (base & QStyle::State_Enabled) {
            const bool enabled = model()->flags(index) & Qt::ItemIsEnabled;
            option.state.setFlag(QStyle::State_Enabled, enabled);
            option.palette.setCurrentColorGroup(enabled ? QPalette::Normal : QPalette::Disabled);
        }
        if (focus && index == current) option.state |= QStyle::State_HasFocus;
        itemDelegateForIndex(index)->paint(&painter, option, index);
    }
}

void SuggestionView::resizeEvent(QResizeEvent* event) {
    // Nothing to lay out again: only the scroll bar's range follows the height.
    QAbstractItemView::resizeEvent(event);
}

void SuggestionView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        scheduleDelayedItemsLayout();
    QListView::changeEvent(event);
}

void SuggestionView::scrollContentsBy(int, int) { viewport()->update(); }

int SuggestionView::horizontalOffset() const { return 0; }

int SuggestionView::verticalOffset() const {
    return ClampToInt(static_cast<long long>(TopRow()) * rowHeight_);
}

QModelIndex SuggestionView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    LayOutNow();
    const int rows = Rows();
    if (rows == 0) return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return Row(0);
    long long row = current.row();
    switch (action) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MovePageUp:
        row -= WholeRowsShown();
        break;
    case MovePageDown:
        row += WholeRowsShown();
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rows - 1;
        break;
    case MoveLeft:
    case MoveRight:
        break;
    }
    return Row(std::clamp<long long>(row, 0, rows - 1));
}

void SuggestionView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    if (!selectionModel()) return;
    LayOutNow();
    const long long rows = Rows();
    const QRect normal = rect.normalized();
    const long long first = std::max<long long>(RowAtY(normal.top()), 0);
    const long long last = std::min(RowAtY(normal.bottom()), rows - 1);
    if (first > last || normal.right() < 0 || normal.left() >= viewport()->width()) {
        selectionModel()->select(QItemSelection(), command);
        return;
    }
    selectionModel()->select(QItemSelection(Row(first), Row(last)), command);
}

QRegion SuggestionView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    const QRect shown = viewport()->rect();
    for (const QItemSelectionRange& range : selection) {
        if (range.parent() != rootIndex() || range.left() > modelColumn() ||
            range.right() < modelColumn())
            continue;
        const long long top = (static_cast<long long>(range.top()) - TopRow()) * rowHeight_;
        const long long bottom =
            (static_cast<long long>(range.bottom()) + 1 - TopRow()) * rowHeight_;
        region +=
            QRect(0, ClampToInt(top), shown.width(), ClampToInt(bottom - top)).intersected(shown);
    }
    return region;
}

void SuggestionView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QAbstractItemView::currentChanged(current, previous);
#if QT_CONFIG(accessibility)
    if (QAccessible::isActive() && current.isValid() && hasFocus()) {
        QAccessibleEvent focusEvent(this, QAccessible::Focus);
        focusEvent.setChild(current.row());
        QAccessible::updateAccessibility(&focusEvent);
    }
#endif
}

void SuggestionView::selectionChanged(const QItemSelection& selected,
                                      const QItemSelection& deselected) {
    QAbstractItemView::selectionChanged(selected, deselected);
#if QT_CONFIG(accessibility)
    if (QAccessible::isActive() && !selected.isEmpty()) {
        QAccessibleEvent selectionEvent(this, QAccessible::SelectionAdd);
        selectionEvent.setChild(selected.first().top());
        QAccessible::updateAccessibility(&selectionEvent);
    }
#endif
}

bool SuggestionView::RowIsCut(const QModelIndex& index) const {
    const int room = visualRect(index).width() - 2 * RowDelegate::kMargin;
    return fontMetrics().horizontalAdvance(index.data().toString()) > room;
}

bool SuggestionView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QListView::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    if (!index.isValid() || !RowIsCut(index)) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // As rich text, so that a question longer than the screen is wide wraps.
    const QString text = QStringLiteral("<p>%1</p>").arg(index.data().toString().toHtmlEscaped());
    QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
    return true;
}

// QListView would measure every row for its hint; the list never sizes itself to its rows.
QSize SuggestionView::viewportSizeHint() const { return QAbstractItemView::viewportSizeHint(); }

}  // namespace windows
