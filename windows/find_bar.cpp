#include "find_bar.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

namespace windows {

namespace {

const QColor kMatchColour(255, 236, 120);
const QColor kCurrentColour(255, 150, 50);
const QColor kNotFoundColour(255, 210, 210);
// The bar sits on the viewer's light tool panel: its texts are dark under any colour scheme.
const QColor kBarText(0, 0, 0);

// Highlights are laid on this many matches either side of the current one, so that a
// one-letter search in a long page stays quick.
constexpr qsizetype kHighlightReach = 1000;

// A non-breaking space on the page matches a typed space, as in a browser.
QString Searchable(QString text) {
    text.replace(QChar::Nbsp, u' ');
    return text;
}

QToolButton* MakeButton(const QString& name, const QString& tip, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

}  // namespace

FindBar::FindBar(QTextEdit* view, QWidget* parent) : QWidget(parent), view_(view) {
    setObjectName(QStringLiteral("FindBar"));
    setAccessibleName(QStringLiteral("Поиск на странице"));
    FindEdit = new QLineEdit(this);
    FindEdit->setObjectName(QStringLiteral("FindEdit"));
    FindEdit->setPlaceholderText(QStringLiteral("Найти на странице"));
    FindEdit->setAccessibleName(QStringLiteral("Текст для поиска"));
    FindEdit->installEventFilter(this);
    normalPalette_ = FindEdit->palette();

    FindPrevButton = MakeButton(QStringLiteral("FindPrevButton"),
                                QStringLiteral("Предыдущее совпадение (Shift+F3)"), this);
    FindNextButton = MakeButton(QStringLiteral("FindNextButton"),
                                QStringLiteral("Следующее совпадение (F3)"), this);
    FindCount = new QLabel(this);
    FindCount->setObjectName(QStringLiteral("FindCount"));
    FindCount->setAccessibleName(QStringLiteral("Число совпадений"));
    QPalette countPalette = FindCount->palette();
    countPalette.setColor(QPalette::WindowText, kBarText);
    FindCount->setPalette(countPalette);
    FindCount->setMinimumWidth(
        FindCount->fontMetrics().horizontalAdvance(QStringLiteral("9999 из 9999")));
    FindCloseButton =
        MakeButton(QStringLiteral("FindCloseButton"), QStringLiteral("Закрыть поиск (Esc)"), this);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(FindEdit, 1);
    layout->addWidget(FindPrevButton);
    layout->addWidget(FindNextButton);
    layout->addWidget(FindCount);
    layout->addWidget(FindCloseButton);
    FindEdit->setMinimumWidth(160);
    FindEdit->setMaximumWidth(280);
    layout->addStretch(0);

    connect(FindEdit, &QLineEdit::textChanged, this, [this] { Search(SearchStart()); });
    connect(FindPrevButton, &QToolButton::clicked, this, &FindBar::FindPrevious);
    connect(FindNextButton, &QToolButton::clicked, this, &FindBar::FindNext);
    connect(FindCloseButton, &QToolButton::clicked, this, &FindBar::CloseBar);
    ShowState();
}

void FindBar::SetIconsOnce() {
    if (iconsSet_) return;
    iconsSet_ = true;
    FindEdit->setClearButtonEnabled(true);
    FindPrevButton->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    FindNextButton->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    FindCloseButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
}

void FindBar::Open() {
    SetIconsOnce();
    const bool wasHidden = isHidden();
    show();
    FindEdit->setFocus(Qt::ShortcutFocusReason);
    FindEdit->selectAll();
    if (wasHidden) Search(SearchStart());
}

void FindBar::CloseBar() {
    hide();
    starts_.clear();
    current_ = -1;
    view_->setExtraSelections({});
    view_->setFocus(Qt::OtherFocusReason);
    ShowState();
}

void FindBar::FindNext() { Step(+1); }

void FindBar::FindPrevious() { Step(-1); }

void FindBar::Refresh() {
    if (isHidden()) return;
    Search(0);
}

void FindBar::Step(int direction) {
    if (isHidden()) {
        Open();
        return;
    }
    if (starts_.isEmpty()) {
        Search(SearchStart());
        return;
    }
    const qsizetype count = starts_.size();
    Select((current_ + direction + count) % count);
}

int FindBar::SearchStart() const {
    if (current_ >= 0) return starts_[current_];
    return view_->cursorForPosition(QPoint(0, 0)).block().position();
}

void FindBar::Search(int from) {
    starts_.clear();
    current_ = -1;
    const QString needle = Searchable(FindEdit->text());
    length_ = static_cast<int>(needle.size());
    if (!needle.isEmpty()) {
        for (QTextBlock block = view_->document()->begin(); block.isValid(); block = block.next()) {
            const QString text = Searchable(block.text());
            for (qsizetype at = text.indexOf(needle, 0, Qt::CaseInsensitive); at >= 0;
                 at = text.indexOf(needle, at + needle.size(), Qt::CaseInsensitive)) {
                starts_.append(block.position() + static_cast<int>(at));
            }
        }
    }
    if (starts_.isEmpty()) {
        view_->setExtraSelections({});
        ShowState();
        return;
    }
    const auto first = std::lower_bound(starts_.cbegin(), starts_.cend(), from);
    Select(first == starts_.cend() ? 0 : first - starts_.cbegin());
}

void FindBar::Select(qsizetype index) {
    current_ = index;
    QList<QTextEdit::ExtraSelection> selections;
    const qsizetype low = std::max<qsizetype>(0, index - kHighlightReach);
    const qsizetype high = std::min(starts_.size(), index + kHighlightReach + 1);
    QTextCursor current;
    for (qsizetype i = low; i < high; ++i) {
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(view_->document());
        selection.cursor.setPosition(starts_[i]);
        selection.cursor.setPosition(starts_[i] + length_, QTextCursor::KeepAnchor);
        selection.format.setBackground(i == index ? kCurrentColour : kMatchColour);
        if (i == index) current = selection.cursor;
        selections.append(selection);
    }
    view_->setExtraSelections(selections);

    // Bring the match to the middle of the view unless it is already in sight.
    QTextCursor caret(current);
    caret.setPosition(current.selectionStart());
    const QRect where = view_->cursorRect(caret);
    if (!view_->viewport()->rect().contains(where)) {
        QScrollBar* bar = view_->verticalScrollBar();
        bar->setValue(bar->value() + where.center().y() - view_->viewport()->height() / 2);
    }
    view_->setTextCursor(caret);
    view_->ensureCursorVisible();
    ShowState();
}

void FindBar::ShowState() {
    const bool notFound = !FindEdit->text().isEmpty() && starts_.isEmpty() && !isHidden();
    if (FindEdit->text().isEmpty() || isHidden()) {
        FindCount->clear();
    } else if (notFound) {
        FindCount->setText(QStringLiteral("Не найдено"));
    } else {
        FindCount->setText(QStringLiteral("%1 из %2").arg(current_ + 1).arg(starts_.size()));
    }
    QPalette palette = normalPalette_;
    if (notFound) {
        palette.setColor(QPalette::Base, kNotFoundColour);
        palette.setColor(QPalette::Text, kBarText);
    }
    FindEdit->setPalette(palette);
    FindPrevButton->setEnabled(!starts_.isEmpty());
    FindNextButton->setEnabled(!starts_.isEmpty());
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FindEdit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ShiftModifier) {
                FindPrevious();
            } else {
                FindNext();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace windows
