#pragma once
// A window for the dialogue's handlers that records what they do to it; setting the
// input runs onChange (Edit1Change) as the real input field does.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogue.h"

namespace testing_support {

class RecordingWindow : public dialogue::DialogueWindow {
public:
    std::u16string input;
    std::vector<std::u16string> transcript;
    std::vector<std::u16string> suggestions;
    std::vector<std::u16string> messages;
    int selected = -1;
    bool detailsVisible = true;
    bool inputFocused = false;
    int aboutShown = 0;
    std::vector<std::string> events;
    std::function<void()> onChange;

    std::u16string InputText() const override { return input; }
    void SetInputText(const std::u16string& text) override {
        if (text == input) return;
        input = text;
        if (onChange) onChange();
    }
    void ClearInput() override { SetInputText(u""); }
    void FocusInput() override { inputFocused = true; }
    void ClearTranscript() override { transcript.clear(); }
    void AppendTranscript(const std::u16string& line) override { transcript.push_back(line); }
    void ShowSuggestions(dialogue::SuggestionList shown) override {
        suggestions.clear();
        for (std::size_t i = 0; i < shown.Count(); ++i) suggestions.emplace_back(shown.Question(i));
    }
    int SelectedSuggestion() const override { return selected; }
    std::u16string Suggestion(int index) const override {
        return suggestions.at(static_cast<std::size_t>(index));
    }
    void SetDetailsVisible(bool visible) override { detailsVisible = visible; }
    void ShowMessage(const std::u16string& text) override { messages.push_back(text); }
    void ShowAbout() override {
        ++aboutShown;
        events.push_back("about");
    }
};

}  // namespace testing_support
