#pragma once
// The core's side of a benchmark: a window that only counts what a list box would be
// given. Setting its input runs Edit1Change when a dialogue is attached, as a field does.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "dialogue.h"

namespace bench {

class CountingWindow : public dialogue::DialogueWindow {
public:
    std::u16string input;
    dialogue::Dialogue* dialogue = nullptr;
    std::size_t suggestions = 0;

    std::u16string InputText() const override { return input; }
    void SetInputText(const std::u16string& text) override {
        if (text == input) return;
        input = text;
        if (dialogue != nullptr) dialogue->Edit1Change();
    }
    void ClearInput() override { SetInputText(u""); }
    void FocusInput() override {}
    void ClearTranscript() override {}
    void AppendTranscript(const std::u16string& line) override {
        benchmark::DoNotOptimize(line.data());
    }
    void ShowSuggestions(dialogue::SuggestionList shown) override {
        benchmark::DoNotOptimize(shown.Empty() ? nullptr : shown.Question(0).data());
        suggestions = shown.Count();
    }
    int SelectedSuggestion() const override { return -1; }
    std::u16string Suggestion(int) const override { return {}; }
    void SetDetailsVisible(bool) override {}
    void ShowMessage(const std::u16string&) override {}
    void ShowAbout() override {}
};

}  // namespace bench
