#pragma once
// The suggestion list's view. Every row has the height of the first one, so laying out,
// scrolling and painting cost the same for 100,000 rows as for ten: a QListView lays out
// every row again after each reset, which for 100,000 costs several keystrokes' worth.
#include <QListView>

namespace windows {

class SuggestionView : public QListView {
    Q_OBJECT
public:
    explicit SuggestionView(QWidget* parent = nullptr);

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void doItemsLayout() override;

    // The first row shown, which is the vertical scroll bar's value.
    int TopRow() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    QSize viewportSizeHint() const override;
    // A tooltip over a row cut by the list's edge shows the whole question.
    bool viewportEvent(QEvent* event) override;

private:
    void LayOutNow() const;
    int Rows() const;
    // Rows that fit into the viewport whole, at least one.
    int WholeRowsShown() const;
    // The row at viewport height y, which may lie outside [0, Rows()).
    long long RowAtY(int y) const;
    QModelIndex Row(long long row) const;
    bool RowIsCut(const QModelIndex& index) const;

    int rowHeight_ = 1;
};

}  // namespace windows
