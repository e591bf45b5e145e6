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
#include <QStyle>

#include "Mesager.h"
#include "accessibility.h"
#include "app_support.h"
#include "message_box.h"
#include "collation.h"
#include "knowledge_files.h"
#include "htview.h"
#include "main_window_list.h"
#include "main_window_splitter.h"
#include "panel.h"
#include "suggestion_model.h"
#include "text.h"

// The resources of a static library must be registered by name from the global namespace.
static void RegisterWindowResources() { Q_INIT_RESOURCE(resources); }

namespace windows {
namespace {

const QColor kFormColour(192, 220, 192);
const QColor kPanelColour(215, 215, 199);
const QColor kFieldColour(255, 251, 240);
const QColor kSplitterColour(10, 90, 90);

// Design sizes at 96 dpi.
constexpr int kClientWidth = 641;
constexpr int kClientHeight = 376;
constexpr int kTopHeight = 37;
constexpr int kBottomHeight = 50;
constexpr int kSplitterWidth = 2;
constexpr int kEdit1RightGap = 186;
constexpr int kInBtnRightGap = 95;
// DictBox's distances to the top and bottom of Panel3.
constexpr int kDictBoxTop = 36;
constexpr int kDictBoxBottomGap = 16;
// The smallest window in which every control stays usable: the input 100 pixels wide, the
// suggestion list (and with it the transcript) 30 pixels high.
constexpr int kMinEdit1Width = 100;
constexpr int kMinListHeight = 30;
constexpr int kMinClientWidth = 16 + kMinEdit1Width + kEdit1RightGap;
constexpr int kMinClientHeight = kTopHeight + kDictBoxTop + kMinListHeight + kDictBoxBottomGap + kBottomHeight;

// Tells whether myList was loaded again: a load replaces every line at once.
QFont FontOf(const QString& family, int pixelSize) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    return font;
}

void SetFieldColour(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, kFieldColour);
    palette.setColor(QPalette::Text, Qt::black);
    widget->setPalette(palette);
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
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kFormColour);
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    setFont(FontOf(QStringLiteral("Times New Roman"), 19));
    setMinimumSize(kMinClientWidth, kMinClientHeight);
    resize(kClientWidth, kClientHeight);

    Splitter1 = new Splitter(QStringLiteral("Splitter1"), kSplitterColour, [this] { return Panel3ShownWidth(); }, this);
    connect(Splitter1, &Splitter::Moved, this, &TForm1::SetPanel3Width);

    Panel1 = new Panel(QStringLiteral("Panel1"), kPanelColour, this);
    Panel1->setAccessibleName(QStringLiteral("Панель кнопок"));
    Button1 = MakeButton(QStringLiteral("Button1"), QStringLiteral("О программе"), Panel1);
    Button1->setFont(FontOf(QStringLiteral("Arial Narrow"), 16));
    Button1->setGeometry(8, 5, 121, 27);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);

    Panel2 = new Panel(QStringLiteral("Panel2"), kPanelColour, this);
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

    Panel3 = new Panel(QStringLiteral("Panel3"), kPanelColour, this);
    Panel3->setAccessibleName(QStringLiteral("Панель подсказок"));
    suggestions_ = new SuggestionModel(this);
    DictBox = new SuggestionView(Panel3);
    DictBox->setObjectName(QStringLiteral("DictBox"));
    DictBox->setAccessibleName(QStringLiteral("Список фраз"));
    DictBox->setFont(FontOf(QStringLiteral("Times New Roman"), 17));
    DictBox->setSelectionMode(QAbstractItemView::SingleSelection);
    DictBox->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DictBox->setModel(suggestions_);
    SetFieldColour(DictBox);
    DictBox->installEventFilter(this);
    DictBox->viewport()->installEventFilter(this);
    ViewBtn = MakeButton(QStringLiteral("ViewBtn"), QStringLiteral("Подробно"), Panel3);
    connect(ViewBtn, &QPushButton::clicked, this, &TForm1::ViewBtnClick);

    Panel4 = new Panel(QStringLiteral("Panel4"), kPanelColour, this);
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

void TForm1::AppendTranscript(const std::u16string& line) { Memo1->appendPlainText(ToQString(line)); }

void TForm1::ShowSuggestions(dialogue::SuggestionList suggestions) { suggestions_->Show(std::move(suggestions)); }

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
    if (watched == DictBox->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        DictBoxDblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::LayOut() {
    const int w = width();
    const int h = height();
    const int middle = std::max(0, h - kTopHeight - kBottomHeight);
    const int panel3Width = Panel3ShownWidth();
    const int panel4Width = std::max(0, w - panel3Width - kSplitterWidth);

    Panel1->setGeometry(0, 0, w, kTopHeight);
    Panel2->setGeometry(0, std::max(kTopHeight, h - kBottomHeight), w, kBottomHeight);
    Panel3->setGeometry(w - panel3Width, kTopHeight, panel3Width, middle);
    Splitter1->setGeometry(w - panel3Width - kSplitterWidth, kTopHeight, kSplitterWidth, middle);
    Panel4->setGeometry(0, kTopHeight, panel4Width, middle);

    // Anchored controls keep their design distances to the anchored edges of their panel.
    Edit1->setGeometry(16, 8, std::max(0, w - 16 - kEdit1RightGap), 29);
    InBtn->setGeometry(w - kInBtnRightGap - 81, 8, 81, 28);
    ViewBtn->setGeometry(6, 6, std::max(0, panel3Width - 6 - 11), 25);
    DictBox->setGeometry(5, kDictBoxTop, std::max(0, panel3Width - 5 - 12),
                         std::max(0, middle - kDictBoxTop - kDictBoxBottomGap));
    Memo1->setGeometry(5, 5, std::max(0, panel4Width - 5 - 6), std::max(0, middle - 5 - 5));
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void TForm1::showEvent(QShowEvent* event) {
    if (!shownBefore_ && !event->spontaneous() && isWindow()) {
        shownBefore_ = true;
        if (const QScreen* where = screen()) {
            setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                            where->availableGeometry()));
        }
    }
    QWidget::showEvent(event);
}

}  // namespace windows
