#include "dialogue.h"

#include "knowledge_files.h"
#include "text.h"
#include "collation.h"

namespace dialogue {

Dialogue::Dialogue(DialogueWindow& window, PhraseList& myList, std::u16string programDir)
    : window_(window), myList_(myList), ProgramDir_(std::move(programDir)) {
    PagePath_ = ArticleRoot(ProgramDir_);
}

void Dialogue::InBtnClick() {
    if (++QueryCount_ == kAboutEvery) {
        window_.ShowAbout();
        QueryCount_ = 0;
    }
    window_.SetDetailsVisible(false);

    const std::u16string input = Trim(window_.InputText());
    if (input.empty()) {
        window_.ShowMessage(kEnterTextMessage);
        return;
    }
    window_.ClearTranscript();
    PagePath_ = ArticleRoot(ProgramDir_);

    const std::u16string key = NormalisedKey(input);
    myList_.Load(SelectKnowledgeFile(ProgramDir_, key));

    window_.AppendTranscript(kEchoPrefix + Trim(window_.InputText()));
    if (myList_.Empty()) {
        window_.ShowMessage(kNoResultsMessage);
        return;
    }
    AnswerFromList(key);
    window_.ClearInput();
    window_.FocusInput();
}

void Dialogue::AnswerFromList(std::u16string_view key) {
    const long match = AnsweringLine(myList_, key);
    if (match < 0) {
        window_.AppendTranscript(kNotFoundLine);
        return;
    }
    const std::u16string_view trimmed = TrimView(myList_.Line(static_cast<std::size_t>(match)));
    std::u16string answer(GetRight(trimmed));
    if (!answer.empty() && answer.front() == u'$') answer = GetHiper(answer);
    window_.AppendTranscript(kAnswerPrefix + answer);
}

std::u16string Dialogue::GetHiper(std::u16string_view answer) {
    LinkedAnswer cut = SplitLink(answer);
    if (!cut.link.empty()) {
        // The link extends PagePath_ by what it adds to the article root under the one rule
        // for article paths (from the root, as each question starts, that is ArticlePath).
        const std::size_t rootLength = ArticleRoot(ProgramDir_).size();
        PagePath_ += std::u16string_view(ArticlePath(ProgramDir_, cut.link)).substr(rootLength);
        window_.SetDetailsVisible(true);
    }
    return std::move(cut.rest);
}

void Dialogue::Edit1Change() {
    SuggestPrefix_ = NormalisedKey(window_.InputText());
    if (SuggestPrefix_.empty()) {
        window_.ShowSuggestions({});
        return;
    }
    const std::u16string selected = SelectKnowledgeFile(ProgramDir_, SuggestPrefix_);
    if (selected != SuggestFile_) myList_.Load(selected);
    SuggestFile_ = selected;

    if (myList_.Empty()) return;
    std::vector<std::uint32_t> rows;
    for (std::size_t i = 0; i < myList_.Count(); ++i) {
        if (myList_.FoldedBeginsWith(i, SuggestPrefix_))
            rows.push_back(static_cast<std::uint32_t>(i));
    }
    window_.ShowSuggestions(SuggestionList(myList_.Entries(), std::move(rows)));
}

void Dialogue::DictBoxDblClick() {
    const int index = window_.SelectedSuggestion();
    if (index < 0) return;
    window_.SetInputText(window_.Suggestion(index));
}

}  // namespace dialogue
