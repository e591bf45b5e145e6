// Drives the query and suggestion handlers through the recording window over knowledge
// files made of the input: the first part is the file of "а", the second the fallback
// file, the rest a sequence of keystrokes, questions and double-clicks.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include <unistd.h>

#include "collation.h"
#include "dialogue.h"
#include "errors.h"
#include "program_folder.h"
#include "recording_window.h"
#include "text.h"

using namespace dialogue;

namespace {

// One folder for the whole run; each input rewrites its files.
const testing_support::ProgramFolder& Folder() {
    static const testing_support::ProgramFolder folder;
    return folder;
}

std::string_view Part(std::string_view& data) {
    const std::size_t cut = data.find('\x01');
    const std::string_view part = data.substr(0, cut);
    data = cut == std::string_view::npos ? std::string_view() : data.substr(cut + 1);
    return part;
}

// Names the broken expectation before stopping, so that a finding explains itself.
void Check(bool holds, int line) {
    if (holds) return;
    std::fprintf(stderr, "dialogue_fuzzer.cpp:%d: expectation broken\n", line);
    __builtin_trap();
}
#define CHECK(condition) Check((condition), __LINE__)

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    std::string_view data(reinterpret_cast<const char*>(bytes), size);
    const auto& folder = Folder();
    folder.Write(u"а", Part(data));
    folder.Write(u"ь", Part(data));

    testing_support::RecordingWindow window;
    PhraseList myList(DefaultCollator());
    Dialogue dialogue(window, myList, folder.Dir());
    window.onChange = [&] { dialogue.Edit1Change(); };

    while (!data.empty()) {
        const char action = data.front();
        data.remove_prefix(1);
        const std::u16string text = FromUtf8(Part(data));
        try {
            switch (action % 3) {
            case 0: {
                window.SetInputText(text);
                if (myList.Empty() || dialogue.SuggestPrefix().empty()) break;
                // Each question shown begins with the prefix, or the prefix runs past
                // its end into the "|".
                const std::u16string& prefix = dialogue.SuggestPrefix();
                for (const std::u16string& shown : window.suggestions) {
                    const std::u16string question = LowerCase(shown);
                    CHECK(shown.find(u'|') == std::u16string::npos);
                    CHECK(question.starts_with(prefix) || prefix.starts_with(question + u"|"));
                }
                break;
            }
            case 1: {
                window.SetInputText(text);
                const int about = window.aboutShown;
                dialogue.InBtnClick();
                CHECK(window.aboutShown - about <= 1);
                CHECK(window.transcript.size() <= 2);
                // An answer (two lines of a non-blank question) clears the input and the list;
                // a blank input leaves the last exchange as it was.
                if (!TrimView(text).empty() && window.transcript.size() == 2) {
                    CHECK(window.input.empty() && window.suggestions.empty());
                }
                CHECK(dialogue.PagePath().rfind(dialogue.ProgramDir() + u"bio", 0) == 0);
                break;
            }
            default: {
                const std::u16string before = window.input;
                window.selected = window.suggestions.empty()
                                      ? -1
                                      : static_cast<int>(text.size() % window.suggestions.size());
                const std::u16string chosen =
                    window.selected < 0
                        ? before
                        : window.suggestions[static_cast<std::size_t>(window.selected)];
                dialogue.DictBoxDblClick();
                CHECK(window.input == chosen);
                break;
            }
            }
        } catch (const DialogueError&) {
            // A file that cannot be decoded: the handler ends, the program goes on.
        }
        CHECK(dialogue.QueryCount() >= 0 && dialogue.QueryCount() < kAboutEvery);
    }
    return 0;
}
