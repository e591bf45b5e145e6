#pragma once
// The dialogue: answering a query and suggesting phrases while the user types.
#include <string>
#include <string_view>

#include "phrase_list.h"
#include "rules.h"
#include "suggestion_list.h"

namespace dialogue {

// What the handlers need of the main window, each the direct operation on its control.
class DialogueWindow {
public:
    virtual ~DialogueWindow() = default;

    // Edit1. Setting or clearing the text runs Edit1Change whenever the text changes.
    virtual std::u16string InputText() const = 0;
    virtual void SetInputText(const std::u16string& text) = 0;
    virtual void ClearInput() = 0;
    virtual void FocusInput() = 0;

    // Memo1, the transcript.
    virtual void ClearTranscript() = 0;
    virtual void AppendTranscript(const std::u16string& line) = 0;

    // DictBox, the suggestion list: shows these entries in their order, in place of
    // what it showed (an empty list clears it). SelectedSuggestion is -1 when nothing is
    // selected.
    virtual void ShowSuggestions(SuggestionList suggestions) = 0;
    virtual int SelectedSuggestion() const = 0;
    virtual std::u16string Suggestion(int index) const = 0;

    // ViewBtn, "Подробно".
    virtual void SetDetailsVisible(bool visible) = 0;

    // Modal, captioned with the application's title; return when closed.
    virtual void ShowMessage(const std::u16string& text) = 0;
    virtual void ShowAbout() = 0;
};

inline constexpr char16_t kEnterTextMessage[] = u"Введите текст!";
inline constexpr char16_t kNoResultsMessage[] = u"Поиск не дал результатов!";
inline constexpr char16_t kEchoPrefix[] = u"Вы сказали: ";
inline constexpr char16_t kAnswerPrefix[] = u"Целитор: ";
inline constexpr char16_t kNotFoundLine[] = u"Целитор: Ничего не найдено!";
// The About window comes up by itself before every this many query actions.
inline constexpr int kAboutEvery = 7;

// The dialogue state of the program, one instance beside the main window, and the
// handlers. Failures of a load propagate as DialogueError to the window's event boundary.
class Dialogue {
public:
    // programDir ends with "/"; myList belongs to the window.
    Dialogue(DialogueWindow& window, PhraseList& myList, std::u16string programDir);

    void InBtnClick();
    std::u16string GetHiper(std::u16string_view answer);
    void Edit1Change();
    void DictBoxDblClick();

    const std::u16string& ProgramDir() const { return ProgramDir_; }
    const std::u16string& PagePath() const { return PagePath_; }
    int QueryCount() const { return QueryCount_; }
    const std::u16string& SuggestFile() const { return SuggestFile_; }
    const std::u16string& SuggestPrefix() const { return SuggestPrefix_; }

private:
    void AnswerFromList(std::u16string_view key);

    DialogueWindow& window_;
    PhraseList& myList_;
    std::u16string ProgramDir_;
    std::u16string PagePath_;
    int QueryCount_ = 0;
    std::u16string SuggestFile_;
    std::u16string SuggestPrefix_;
};

}  // namespace dialogue
