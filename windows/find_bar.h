#pragma once
// The article viewer's find-in-page bar: searches as you type, case-insensitive in any
// script, highlights every match and steps through them with wrapping.
#include <QList>
#include <QPalette>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTextEdit;
class QToolButton;

namespace windows {

class FindBar : public QWidget {
    Q_OBJECT
public:
    // Searches the document shown by view.
    explicit FindBar(QTextEdit* view, QWidget* parent = nullptr);

    // Shows the bar with the field focused and its text selected, and searches again.
    void Open();
    // Hides the bar, removes the highlights and gives the focus back to the page.
    void CloseBar();
    // Next and previous match, wrapping at the ends of the page.
    void FindNext();
    void FindPrevious();
    // The page was replaced: search it again from its top.
    void Refresh();

    qsizetype MatchCount() const { return starts_.size(); }
    // 1 for the first match; 0 when there is none.
    qsizetype CurrentMatch() const { return current_ + 1; }

    QLineEdit* FindEdit = nullptr;
    QToolButton* FindPrevButton = nullptr;
    QToolButton* FindNextButton = nullptr;
    QLabel* FindCount = nullptr;
    QToolButton* FindCloseButton = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Finds every match; the current one becomes the first at or after position `from`.
    void Search(int from);
    void Select(qsizetype index);
    void Step(int direction);
    // Where a new search starts: the current match, or else the top of the visible page.
    int SearchStart() const;
    void ShowState();
    // Icons come from the icon theme, whose lookup costs start-up time: they are set when
    // the bar first opens.
    void SetIconsOnce();

    QTextEdit* view_;
    bool iconsSet_ = false;
    QList<int> starts_;
    int length_ = 0;
    qsizetype current_ = -1;
    QPalette normalPalette_;
};

}  // namespace windows
