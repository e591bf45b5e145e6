#include <gtest/gtest.h>

#include <functional>

#include "collation.h"
#include "dialogue.h"
#include "errors.h"
#include "program_folder.h"
#include "recording_window.h"

using namespace dialogue;
using testing_support::ProgramFolder;
using testing_support::Utf8WithMark;

namespace {

using FakeWindow = testing_support::RecordingWindow;

class DialogueTest : public testing::Test {
protected:
    DialogueTest() : list(DefaultCollator()), dialogue(window, list, folder.Dir()) {
        window.onChange = [this] { dialogue.Edit1Change(); };
        folder.Write(u"г", Utf8WithMark("головная боль|$/golova.html$Отдохните.\r\n"
                                        "  Головокружение|Присядьте.  \r\n"
                                        "горло болит|Полощите горло.\r\n"
                                        "грипп |никогда не найдётся\r\n"
                                        "Грипп|$$Пейте больше.\r\n"
                                        "глаз\r\n"
                                        "гол|$\\статьи\\гол.html$Ссылка с обратной чертой\r\n"));
        folder.Write(u"ь", "\xDF\xE1\xEB\xEE\xEA\xEE|\xC4\xE0\n");  // "Яблоко|Да" in Windows-1251
        folder.Write(u"п", "");
        folder.Write(u"б", "\r\n\r\n");
    }

    // Types text as the user would: the input changes and Edit1Change runs.
    void Type(std::u16string_view text) { window.SetInputText(std::u16string(text)); }
    void Ask(std::u16string_view text) {
        Type(text);
        dialogue.InBtnClick();
    }

    ProgramFolder folder;
    FakeWindow window;
    PhraseList list;
    Dialogue dialogue;
};

}  // namespace

TEST_F(DialogueTest, AnswersWithEchoAndClearsInput) {
    struct Case {
        std::u16string input;
        std::vector<std::u16string> transcript;
        bool details;
        std::u16string pagePath;
    };
    const std::u16string bio = folder.Dir() + u"bio";
    const Case cases[] = {
        {u"  ГОЛОВНАЯ боль  ",
         {u"Вы сказали: ГОЛОВНАЯ боль", u"Целитор: Отдохните."},
         true,
         bio + u"/golova.html"},
        {u"головокружение", {u"Вы сказали: головокружение", u"Целитор: Присядьте."}, false, bio},
        {u"грипп", {u"Вы сказали: грипп", u"Целитор: Пейте больше."}, false, bio},
        {u"глаз", {u"Вы сказали: глаз", u"Целитор: "}, false, bio},
        {u"гол",
         {u"Вы сказали: гол", u"Целитор: Ссылка с обратной чертой"},
         true,
         bio + u"/статьи/гол.html"},
        {u"горло", {u"Вы сказали: горло", u"Целитор: Ничего не найдено!"}, false, bio},
        {u"ЯБЛОКО", {u"Вы сказали: ЯБЛОКО", u"Целитор: Да"}, false, bio},
        {u"?", {u"Вы сказали: ?", u"Целитор: Ничего не найдено!"}, false, bio},
        {u"б", {u"Вы сказали: б", u"Целитор: Ничего не найдено!"}, false, bio},
    };
    for (const auto& c : cases) {
        Ask(c.input);
        EXPECT_EQ(window.transcript, c.transcript) << ToUtf8(c.input);
        EXPECT_EQ(window.detailsVisible, c.details) << ToUtf8(c.input);
        EXPECT_EQ(dialogue.PagePath(), c.pagePath) << ToUtf8(c.input);
        EXPECT_EQ(window.input, u"") << ToUtf8(c.input);
        EXPECT_TRUE(window.suggestions.empty()) << ToUtf8(c.input);
        EXPECT_TRUE(window.inputFocused) << ToUtf8(c.input);
        window.inputFocused = false;
    }
    EXPECT_TRUE(window.messages.empty());
}

// Case is folded by character: a capital outside the BMP finds its small letter.
TEST_F(DialogueTest, CapitalsBeyondTheBmpFindTheirSmallLetters) {
    folder.Write(u"x", Utf8WithMark("x\U00010428 \U000104D8|Найдено.\r\n"));
    for (const std::u16string& input :
         {std::u16string(u"X\U00010400 \U000104B0"), std::u16string(u"x\U00010428 \U000104D8")}) {
        Ask(input);
        ASSERT_EQ(window.transcript.size(), 2u) << ToUtf8(input);
        EXPECT_EQ(window.transcript[1], u"Целитор: Найдено.") << ToUtf8(input);
    }
}

TEST_F(DialogueTest, BlankInputAndEmptyFileShowMessages) {
    Ask(u"головная боль");
    const auto transcript = window.transcript;
    const auto page = dialogue.PagePath();

    Ask(u"   ");
    EXPECT_EQ(window.messages, std::vector<std::u16string>{u"Введите текст!"});
    EXPECT_EQ(window.transcript, transcript);
    EXPECT_EQ(dialogue.PagePath(), page);
    EXPECT_FALSE(window.detailsVisible);
    EXPECT_EQ(dialogue.QueryCount(), 2);

    Ask(u"Пусто");
    EXPECT_EQ(window.messages.back(), u"Поиск не дал результатов!");
    EXPECT_EQ(window.transcript, std::vector<std::u16string>{u"Вы сказали: Пусто"});
    EXPECT_EQ(window.input, u"Пусто");  // kept for another try
}

TEST_F(DialogueTest, AboutComesUpBeforeEverySeventhAction) {
    for (int action = 1; action <= 15; ++action) {
        window.events.emplace_back("action");
        Ask(action % 2 ? u"грипп" : u"");
        if (action == 7) {
            EXPECT_EQ(dialogue.QueryCount(), 0);
        }
    }
    std::vector<std::string> expected;
    for (int action = 1; action <= 15; ++action) {
        expected.emplace_back("action");
        if (action % 7 == 0) expected.emplace_back("about");
    }
    EXPECT_EQ(window.events, expected);
    EXPECT_EQ(dialogue.QueryCount(), 1);
}

TEST_F(DialogueTest, FailedLoadIsRaisedAfterResetAndKeepsListAndInput) {
    Ask(u"головная боль");
    ASSERT_TRUE(window.detailsVisible);
    folder.Write(u"ж", "\xEF\xBB\xBF\xFF\xFE");
    window.input = u"жар";  // typed without running the suggestions
    EXPECT_THROW(dialogue.InBtnClick(), DecodeError);
    EXPECT_TRUE(window.transcript.empty());
    EXPECT_FALSE(window.detailsVisible);
    EXPECT_EQ(dialogue.PagePath(), folder.Dir() + u"bio");
    EXPECT_EQ(window.input, u"жар");
    EXPECT_EQ(list.Count(), 7u);  // still the lines of "г"
}

TEST_F(DialogueTest, SuggestionsListQuestionsBeginningWithInput) {
    struct Case {
        std::u16string input;
        std::vector<std::u16string> suggestions;
    };
    const Case cases[] = {
        // The list holds lines untrimmed, so a line with leading blanks sorts first.
        {u"го", {u"Головокружение", u"гол", u"головная боль", u"горло болит"}},
        {u"  ГОЛ ", {u"Головокружение", u"гол", u"головная боль"}},
        {u"гриПП", {u"грипп ", u"Грипп"}},
        {u"грипп |н", {u"грипп "}},  // the prefix runs into the answer
        {u"гол|$", {u"гол"}},
        {u"х", {}},  // served by the fallback file, nothing begins so
        {u"", {}},
    };
    for (const auto& c : cases) {
        Type(c.input);
        EXPECT_EQ(window.suggestions, c.suggestions) << ToUtf8(c.input);
    }
}

TEST_F(DialogueTest, FileIsLoadedOnlyWhenItsChoiceChanges) {
    Type(u"г");
    EXPECT_EQ(dialogue.SuggestFile(), folder.Dir() + u"mem/г");
    folder.Write(u"г",
                 Utf8WithMark("гость|x\n"));  // a later change of the file is not seen while typing
    Type(u"го");
    EXPECT_EQ(window.suggestions, (std::vector<std::u16string>{u"Головокружение", u"гол",
                                                               u"головная боль", u"горло болит"}));
    Type(u"я");
    Type(u"ю");  // both fall back to the same file: no reload needed
    EXPECT_EQ(dialogue.SuggestFile(), folder.Dir() + u"mem/ь");
    Type(u"го");
    EXPECT_EQ(window.suggestions, std::vector<std::u16string>{u"гость"});
}

TEST_F(DialogueTest, EmptyFileKeepsShownSuggestions) {
    Type(u"го");
    const auto shown = window.suggestions;
    Type(u"п");
    EXPECT_EQ(window.suggestions, shown);
    EXPECT_EQ(dialogue.SuggestPrefix(), u"п");
}

TEST_F(DialogueTest, FailedSuggestionLoadKeepsStateForRetry) {
    Type(u"го");
    const auto shown = window.suggestions;
    std::filesystem::remove(folder.MemPath(u"ь"));
    EXPECT_THROW(Type(u"я"), FileOpenError);
    EXPECT_EQ(window.suggestions, shown);
    EXPECT_EQ(dialogue.SuggestFile(), folder.Dir() + u"mem/г");
    folder.Write(u"ь", Utf8WithMark("ясли|x\n"));
    Type(u"яс");
    EXPECT_EQ(window.suggestions, std::vector<std::u16string>{u"ясли"});
}

TEST_F(DialogueTest, DoubleClickCopiesSelectedEntryIntoInput) {
    Type(u"го");
    dialogue.DictBoxDblClick();  // nothing selected
    EXPECT_EQ(window.input, u"го");
    window.selected = 2;
    dialogue.DictBoxDblClick();
    EXPECT_EQ(window.input, u"головная боль");
    EXPECT_EQ(window.suggestions, std::vector<std::u16string>{u"головная боль"});
    EXPECT_TRUE(window.transcript.empty());  // not asked
}

// The window may keep the list it was shown while the phrase list is loaded again: the
// list shares the lines it shows, so they stay as they were (the sanitizer build sees
// any use of freed text).
TEST(SuggestionListLifetime, ShownListOutlivesLaterLoads) {
    struct KeepingWindow : testing_support::RecordingWindow {
        SuggestionList kept;
        void ShowSuggestions(SuggestionList shown) override { kept = std::move(shown); }
    };
    ProgramFolder folder;
    folder.Write(u"г", Utf8WithMark("голова|1\nгорло|2\n"));
    folder.Write(u"ь", Utf8WithMark("яблоко|3\n"));
    KeepingWindow window;
    PhraseList list(DefaultCollator());
    Dialogue dialogue(window, list, folder.Dir());
    window.input = u"го";
    dialogue.Edit1Change();
    const SuggestionList shown = window.kept;

    folder.Write(u"г", Utf8WithMark("гусь|4\n"));
    window.input =
        std::u16string(u"я");  // a move: GCC 12 misreads copying this literal (-Wrestrict)
    dialogue.Edit1Change();
    window.input = u"гу";
    dialogue.InBtnClick();  // loads the changed file of "г"
    ASSERT_EQ(shown.Count(), 2u);
    EXPECT_EQ(shown.Question(0), u"голова");
    EXPECT_EQ(shown.Question(1), u"горло");
    EXPECT_EQ(list.Line(0), u"гусь|4");
}
