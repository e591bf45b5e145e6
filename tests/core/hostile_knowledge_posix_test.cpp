// Special files put beside the program where the knowledge file should be, as POSIX systems
// have them: each is refused without being opened, and the list keeps its lines.
#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

#include "collation.h"
#include "errors.h"
#include "phrase_list.h"
#include "program_folder.h"
#include "text.h"

using namespace dialogue;
using testing_support::ProgramFolder;

TEST(HostileKnowledgeFiles, SpecialFilesAreRefusedAndTheListKept) {
    struct Case {
        const char* name;
        std::function<int(const std::string&)> make;
    };
    const Case cases[] = {
        {"a FIFO", [](const std::string& path) { return ::mkfifo(path.c_str(), 0600); }},
        {"a character device",
         [](const std::string& path) { return ::symlink("/dev/zero", path.c_str()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramFolder folder;
        const std::string path = folder.PathOf("mem/а");
        ASSERT_EQ(c.make(path), 0);
        PhraseList list(DefaultCollator());
        list.Load(folder.Write(u"п", testing_support::Utf8WithMark("прежняя|строка\n")));
        try {
            list.Load(FromUtf8(path));
            ADD_FAILURE() << "loaded";
        } catch (const FileOpenError& error) {
            EXPECT_EQ(ToUtf8(error.Message()),
                      "Cannot open file \"" + path + "\". Invalid argument");
        }
        ASSERT_EQ(list.Count(), 1u);
        EXPECT_EQ(list.Line(0), u"прежняя|строка");
    }
}
