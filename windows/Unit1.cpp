#include "Unit1.h"

#include <algorithm>
#include <limits>

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "Mesager.h"
#include "accessibility.h"
#include "error_report.h"
#include "design.h"
#include "message_box.h"
#include "collation.h"
#include "knowledge_files.h"
#include "htview.h"
#include "suggestion_view.h"
#include "splitter.h"
#include "panel.h"
#include "suggestion_model.h"
#include "text.h"
#include "window_frame.h"

// The resources of a static library must be registered by name from the global namespace.
static void RegisterWindowResources() { Q_INIT_RESOURCE(resources); }

namespace windows {
namespace {

using namespace design::main;

// Distances that anchored controls keep to the right and bottom edges of their panels.
constexpr int kEdit1RightGap = RightGap(kEdit1, kPanel2);
constexpr int kInBtnRightGap = RightGap(kInBtn, kPanel2);
constexpr int kViewBtnRightGap = RightGap(kViewBtn, kPanel3);
constexpr int kDictBoxRightGap = RightGap(kDictBox, kPanel3);
constexpr int kDictBoxBottomGap = BottomGap(kDictBox, kPanel3);
constexpr int kMemo1RightGap = RightGap(kMemo1, kPanel4);
constexpr int kMemo1BottomGap = BottomGap(kMemo1, kPanel4);

// The smallest window in which every control stays usable: the input 100 pixels wide, the
// suggestion list (and with it the transcript) 30 pixels high.
constexpr int kMinEdit1Width = 100;
constexpr int kMinListHeight = 30;
constexpr int kMinClientWidth = kEdit1.x() + kMinEdit1Width + kEdit1RightGap;
constexpr int kMinClientHeight =
    kPanel1.height() + kDictBox.y() + kMinListHeight + kDictBoxBottomGap + kPanel2.height();

void SetFieldColour(QWidget* widget) {
    design::SetColour(widget, QPalette::Base, design::kFieldColour);
    design::SetColour(widget, QPalette::Text, Qt::black);
}

QPushButton* MakeButton(const QString& name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAccessibleName(text);
    // Enter on a focused button presses it, as Space does.
    button->setAutoDefault(true);
    return button;
}

}  // namespace

QIcon ProgramIcon() {
    RegisterWindowResources();
    return QIcon(QStringLiteral(":/icons/tsldemo.png"));
}

TForm1::TForm1(std::u16string programDir, QWidget* parent)
    : QWidget(parent), myList(dialogue::DefaultCollator()), programDir_(std::move(programDir)) {
    InstallAccessibleRoles();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("\"Целитор\" демонстрационная версия"));
    setAccessibleName(windowTitle());
    setWindowIcon(ProgramIcon());
    design::SetColour(this, QPalette::Window, design::kMainWindowColour);
    design::SetColour(this, QPalette::WindowText, Qt::black);
    setFont(design::Font(QStringLiteral("Times New Roman"), 19));
    setMinimumSize(kMinClientWidth, kMinClientHeight);
    resize(kClient);

    Splitter1 = new Splitter(
        QStringLiteral("Splitter1"), design::kSplitterColour, [this] { return Panel3ShownWidth(); },
        this);
    connect(Splitter1, &Splitter::Moved, this, &TForm1::SetPanel3Width);

    Panel1 = new Panel(QStringLiteral("Panel1"), design::kPanelColour, this);
    Panel1->setAccessibleName(QStringLiteral("Панель кнопок"));
    Button1 = MakeButton(QStringLiteral("Button1"), QStringLiteral("О программе"), Panel1);
    Button1->setFont(design::Font(QStringLiteral("Arial Narrow"), 16));
    Button1->setGeometry(kButton1);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);

    Panel2 = new Panel(QStringLiteral("Panel2"), design::kPanelColour, this);
    Panel2->setAccessibleName(QStringLiteral("Панель ввода"));
    Edit1 = new QLineEdit(QStringLiteral("Edit1"), Panel2);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAccessibleName(QStringLiteral("Поле ввода"));
    Edit1->setMaxLength(std::numeric_limits<int>::max());
    SetFieldColour(Edit1);
    Edit1->installEventFilter(this);
    connect(Edit1, &QLineEdit::textChanged, this, &TForm1::Edit1Change);
    InBtn = MakeButton(QStringLiteral("InBtn"), QStringLiteral("Ввод"), Panel2);
    connect(InBtn, &QPushButton::clicked, this, &TForm1::InBtnClick);

    Panel3 = new Panel(QStringLiteral("Panel3"), design::kPanelColour, this);
    Panel3->setAccessibleName(QStringLiteral("Панель подсказок"));
    suggestions_ = new SuggestionModel(this);
    DictBox = new SuggestionView(Panel3);
    DictBox->setObjectName(QStringLiteral("DictBox"));
    DictBox->setAccessibleName(QStringLiteral("Список фраз"));
    DictBox->setFont(design::Font(QStringLiteral("Times New Roman"), 17));
    DictBox->setSelectionMode(QAbstractItemView::SingleSelection);
    DictBox->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DictBox->setModel(suggestions_);
    connect(suggestions_, &SuggestionModel::modelReset, this, &TForm1::ListFocusFollowsEntries);
    ListFocusFollowsEntries();
    SetFieldColour(DictBox);
    DictBox->installEventFilter(this);
    DictBox->viewport()->installEventFilter(this);
    ViewBtn = MakeButton(QStringLiteral("ViewBtn"), QStringLiteral("Подробно"), Panel3);
    connect(ViewBtn, &QPushButton::clicked, this, &TForm1::ViewBtnClick);

    Panel4 = new Panel(QStringLiteral("Panel4"), design::kPanelColour, this);
    Panel4->setAccessibleName(QStringLiteral("Панель разговора"));
    Memo1 = new QPlainTextEdit(QStringLiteral("Memo1"), Panel4);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("Разговор"));
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setTabChangesFocus(true);
    SetFieldColour(Memo1);

    setTabOrder(Button1, Edit1);
    setTabOrder(Edit1, InBtn);
    setTabOrder(InBtn, DictBox);
    setTabOrder(DictBox, ViewBtn);
    setTabOrder(ViewBtn, Memo1);

    LayOut();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
    dialogue_ = std::make_unique<dialogue::Dialogue>(*this, myList, programDir_);
    Memo1->clear();
    Edit1->clear();
    ViewBtn->hide();
}

void TForm1::Button1Click() {
    if (Viw) Viw->ShowModal();
}

void TForm1::Edit1KeyPress(char16_t& key) {
    if (key != u'\r') return;
    key = 0;
    InBtnClick();
}

void TForm1::InBtnClick() {
    RunHandler(this, [this] { dialogue_->InBtnClick(); });
}

void TForm1::Edit1Change() {
    RunHandler(this, [this] { dialogue_->Edit1Change(); });
}

void TForm1::DictBoxDblClick() {
    RunHandler(this, [this] { dialogue_->DictBoxDblClick(); });
}

void TForm1::ViewBtnClick() {
    RunHandler(this, [this] {
        if (htv) htv->ShowHT(ToQString(dialogue_->PagePath()));
    });
}

void TForm1::SetPanel3Width(int width) {
    panel3Width_ = width;
    LayOut();
}

int TForm1::Panel3ShownWidth() const {
    const int widest = width() - kSplitterWidth - Splitter::kMinSize;
    return std::clamp(panel3Width_, 0, std::max(0, widest));
}

std::u16string TForm1::InputText() const { return ToU16(Edit1->text()); }

void TForm1::SetInputText(const std::u16string& text) { Edit1->setText(ToQString(text)); }

void TForm1::ClearInput() { Edit1->clear(); }

void TForm1::FocusInput() { Edit1->setFocus(Qt::OtherFocusReason); }

void TForm1::ClearTranscript() { Memo1->clear(); }

void TForm1::AppendTranscript(const std::u16string& line) {
    Memo1->appendPlainText(ToQString(line));
}

void TForm1::ShowSuggestions(dialogue::SuggestionList suggestions) {
    suggestions_->Show(std::move(suggestions));
}

int TForm1::SelectedSuggestion() const {
    const QModelIndexList rows = DictBox->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

std::u16string TForm1::Suggestion(int index) const {
    if (index < 0 || index >= suggestions_->Count()) return {};
    return std::u16string(suggestions_->Entry(index));
}

void TForm1::SetDetailsVisible(bool visible) { ViewBtn->setVisible(visible); }

void TForm1::ShowMessage(const std::u16string& text) {
    MessageBox::Show(this, QMessageBox::NoIcon, QStringLiteral("Message"), ToQString(text));
}

void TForm1::ShowAbout() {
    if (Viw) Viw->ShowModal();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    const bool keyPress = event->type() == QEvent::KeyPress;
    const auto* key = keyPress ? static_cast<QKeyEvent*>(event) : nullptr;
    // Enter with Ctrl or Alt is no Enter character.
    const bool enter = key && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                       !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));

    if (watched == Edit1 && enter) {
        char16_t character = u'\r';
        Edit1KeyPress(character);
        return character == 0;
    }
    if (watched == Edit1 && key && key->key() == Qt::Key_Down && suggestions_->Count() > 0) {
        DictBox->setFocus(Qt::TabFocusReason);
        DictBox->selectionModel()->setCurrentIndex(suggestions_->index(0),
                                                   QItemSelectionModel::ClearAndSelect);
        return true;
    }
    if (watched == DictBox && enter) {
        DictBoxDblClick();
        FocusInput();
        return true;
    }
    if (watched == DictBox && key && ListKeyGoesToInput(*key)) {
        FocusInput();
        // A character or a correction typed in the list is typed into the field.
        if (key->key() != Qt::Key_Escape && key->key() != Qt::Key_Up) {
            QKeyEvent typed(key->type(), key->key(), key->modifiers(), key->text(),
                            key->isAutoRepeat(), key->count());
            QApplication::sendEvent(Edit1, &typed);
        }
        return true;
    }
    if (watched == DictBox->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        DictBoxDblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool TForm1::ListKeyGoesToInput(const QKeyEvent& key) const {
    const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (key.modifiers() & commands) return false;
    switch (key.key()) {
    case Qt::Key_Escape:
    case Qt::Key_Backspace:
        return true;
    case Qt::Key_Up:
        return DictBox->currentIndex().row() <= 0;
    default:
        return !key.text().isEmpty() && key.text().front().isPrint();
    }
}

void TForm1::ListFocusFollowsEntries() {
    // An empty list has nothing to choose: it takes no Tab stop, and a list emptied while
    // it had the focus hands it to the field.
    const bool empty = suggestions_->Count() == 0;
    if (empty && DictBox->hasFocus()) FocusInput();
    DictBox->setFocusPolicy(empty ? Qt::NoFocus : Qt::StrongFocus);
}

void TForm1::LayOut() {
    const int w = width();
    const int h = height();
    const int top = kPanel1.height();
    const int bottom = kPanel2.height();
    const int middle = std::max(0, h - top - bottom);
    const int panel3Width = Panel3ShownWidth();
    const int panel4Width = std::max(0, w - panel3Width - kSplitterWidth);

    Panel1->setGeometry(0, 0, w, top);
    Panel2->setGeometry(0, std::max(top, h - bottom), w, bottom);
    Panel3->setGeometry(w - panel3Width, top, panel3Width, middle);
    Splitter1->setGeometry(w - panel3Width - kSplitterWidth, top, kSplitterWidth, middle);
    Panel4->setGeometry(0, top, panel4Width, middle);

    // Anchored controls keep their design distances to the anchored edges of their panel.
    Edit1->setGeometry(kEdit1.x(), kEdit1.y(), std::max(0, w - kEdit1.x() - kEdit1RightGap),
                       kEdit1.height());
    InBtn->setGeometry(w - kInBtnRightGap - kInBtn.width(), kInBtn.y(), kInBtn.width(),
                       kInBtn.height());
    ViewBtn->setGeometry(kViewBtn.x(), kViewBtn.y(),
                         std::max(0, panel3Width - kViewBtn.x() - kViewBtnRightGap),
                         kViewBtn.height());
    DictBox->setGeometry(kDictBox.x(), kDictBox.y(),
                         std::max(0, panel3Width - kDictBox.x() - kDictBoxRightGap),
                         std::max(0, middle - kDictBox.y() - kDictBoxBottomGap));
    Memo1->setGeometry(kMemo1.x(), kMemo1.y(),
                       std::max(0, panel4Width - kMemo1.x() - kMemo1RightGap),
                       std::max(0, middle - kMemo1.y() - kMemo1BottomGap));
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void TForm1::showEvent(QShowEvent* event) {
    if (!shownBefore_ && !event->spontaneous() && isWindow()) {
        shownBefore_ = true;
        // Centred by its outer edges, frame included, before it reaches the screen.
        // On a screen too small for it, it is made as much smaller as it must be to fit.
        if (const QScreen* where = screen()) {
            const QMargins frame = FrameBeforeShow(this).value_or(QMargins());
            const QRect area = where->availableGeometry();
            setGeometry(
                CentredClient(FittedClient(size(), frame, area, minimumSize()), frame, area));
        }
    }
    QWidget::showEvent(event);
}

}  // namespace windows
