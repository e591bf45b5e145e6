#pragma once
// The main window: transcript, input, suggestion list and buttons.
#include <memory>
#include <string>
#include <string_view>

#include <QWidget>

#include "dialogue.h"
#include "design.h"
#include "phrase_list.h"

class QIcon;
class QKeyEvent;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;

namespace windows {

class Panel;
class Splitter;
class SuggestionModel;
class Thtv;
class TViw;

// The program's icon, for every window of the program.
QIcon ProgramIcon();

class TForm1 : public QWidget, public dialogue::DialogueWindow {
    Q_OBJECT
public:
    // programDir: the folder of the knowledge base, ending with "/".
    explicit TForm1(std::u16string programDir, QWidget* parent = nullptr);
    ~TForm1() override;

    // The article viewer and the About window, created after the main window.
    void AttachViewer(Thtv* viewer) { htv = viewer; }
    void AttachAbout(TViw* about) { Viw = about; }

    // Handlers.
    void FormCreate();
    void Button1Click();
    // Enter (13) is replaced by 0, so the field inserts nothing, and asks the question.
    void Edit1KeyPress(char16_t& key);
    void InBtnClick();
    void Edit1Change();
    void DictBoxDblClick();
    void ViewBtnClick();

    // The width Panel3 keeps while the window is resized; 0 when collapsed.
    int Panel3Width() const { return panel3Width_; }
    void SetPanel3Width(int width);
    // The width Panel3 is shown with: Panel3Width, narrowed as far as the window needs to
    // keep Panel4 the 30 pixels that a splitter drag leaves it.
    int Panel3ShownWidth() const;

    const dialogue::Dialogue& State() const { return *dialogue_; }
    SuggestionModel& Suggestions() const { return *suggestions_; }

    // dialogue::DialogueWindow
    std::u16string InputText() const override;
    void SetInputText(const std::u16string& text) override;
    void ClearInput() override;
    void FocusInput() override;
    void ClearTranscript() override;
    void AppendTranscript(const std::u16string& line) override;
    void ShowSuggestions(dialogue::SuggestionList suggestions) override;
    int SelectedSuggestion() const override;
    std::u16string Suggestion(int index) const override;
    void SetDetailsVisible(bool visible) override;
    void ShowMessage(const std::u16string& text) override;
    void ShowAbout() override;

    Splitter* Splitter1 = nullptr;
    Panel* Panel1 = nullptr;
    QPushButton* Button1 = nullptr;
    Panel* Panel2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* InBtn = nullptr;
    Panel* Panel3 = nullptr;
    QListView* DictBox = nullptr;
    QPushButton* ViewBtn = nullptr;
    Panel* Panel4 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;

    dialogue::PhraseList myList;
    Thtv* htv = nullptr;
    TViw* Viw = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void LayOut();
    // Keys that leave the suggestion list for the input field: Esc, Up on the first row,
    // and typing (printable characters and Backspace).
    bool ListKeyGoesToInput(const QKeyEvent& key) const;
    void ListFocusFollowsEntries();

    std::u16string programDir_;
    std::unique_ptr<dialogue::Dialogue> dialogue_;
    SuggestionModel* suggestions_ = nullptr;
    int panel3Width_ = design::main::kPanel3.width();
    bool shownBefore_ = false;
};

}  // namespace windows
