#include "accessibility.h"

#include <algorithm>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QWidget>

namespace windows {
namespace {

// The article: a document, read-only, whose text assistive technology reads by position.
// Positions are those of the view's QTextDocument.
class ArticleAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ArticleAccessible(QTextEdit* view) : QAccessibleWidget(view, QAccessible::Document) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
        const QTextCursor cursor = View()->textCursor();
        const bool selected = selectionIndex == 0 && cursor.hasSelection();
        *startOffset = selected ? cursor.selectionStart() : 0;
        *endOffset = selected ? cursor.selectionEnd() : 0;
    }
    int selectionCount() const override { return View()->textCursor().hasSelection() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int selectionIndex) override {
        if (selectionIndex != 0) return;
        QTextCursor cursor = View()->textCursor();
        cursor.clearSelection();
        View()->setTextCursor(cursor);
    }
    void setSelection(int, int startOffset, int endOffset) override {
        View()->setTextCursor(Range(startOffset, endOffset));
    }
    int cursorPosition() const override { return View()->textCursor().position(); }
    void setCursorPosition(int position) override {
        View()->setTextCursor(Range(position, position));
    }

    // The widget's own texts (name, description ...) stay as the widget gives them.
    using QAccessibleWidget::text;
    QString text(int startOffset, int endOffset) const override {
        // One character for one position: the document's separators of paragraphs, lines
        // and table cells read as line breaks.
        QString text = Range(startOffset, endOffset).selectedText();
        for (QChar& c : text) {
            const char16_t unit = c.unicode();
            if (unit == QChar::ParagraphSeparator || unit == QChar::LineSeparator ||
                unit == 0xFDD0 || unit == 0xFDD1)
                c = u'\n';
        }
        return text;
    }
    int characterCount() const override {
        return std::max(0, View()->document()->characterCount() - 1);
    }

    QRect characterRect(int offset) const override {
        const QTextCursor at = Range(offset, offset);
        QRect rect = View()->cursorRect(at);
        QTextCursor next = at;
        next.movePosition(QTextCursor::NextCharacter);
        const QRect after = View()->cursorRect(next);
        if (after.top() == rect.top() && after.left() > rect.left())
            rect.setRight(after.left() - 1);
        return QRect(View()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        return View()->cursorForPosition(View()->viewport()->mapFromGlobal(point)).position();
    }
    void scrollToSubstring(int startIndex, int endIndex) override {
        // The substring's start is brought to the top of the view unless it is in sight.
        (void)endIndex;
        const QRect start = View()->cursorRect(Range(startIndex, startIndex));
        if (View()->viewport()->rect().contains(start)) return;
        QScrollBar* bar = View()->verticalScrollBar();
        bar->setValue(bar->value() + start.top());
    }
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        // No attributes are told: the whole text shares the empty set.
        (void)offset;
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    QTextEdit* View() const { return static_cast<QTextEdit*>(widget()); }

    QTextCursor Range(int start, int end) const {
        const int count = characterCount();
        QTextCursor cursor(View()->document());
        cursor.setPosition(std::clamp(start, 0, count));
        cursor.setPosition(std::clamp(end, 0, count), QTextCursor::KeepAnchor);
        return cursor;
    }
};

QAccessibleInterface* ProgramRoles(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return nullptr;
    if (className == QLatin1String("windows::TForm1") ||
        className == QLatin1String("windows::Thtv"))
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (className == QLatin1String("windows::Panel"))
        return new QAccessibleWidget(widget, QAccessible::Pane);
    if (className == QLatin1String("windows::Splitter"))
        return new QAccessibleWidget(widget, QAccessible::Splitter);
    if (className == QLatin1String("windows::FindBar"))
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    if (className == QLatin1String("windows::ArticleBrowser"))
        return new ArticleAccessible(static_cast<QTextEdit*>(widget));
    return nullptr;
}

}  // namespace

void InstallAccessibleRoles() {
    static const bool installed = [] {
        QAccessible::installFactory(ProgramRoles);
        return true;
    }();
    (void)installed;
}

}  // namespace windows
