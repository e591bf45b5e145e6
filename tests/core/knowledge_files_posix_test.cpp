#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "errors.h"
#include "knowledge_files.h"
#include "program_folder.h"
#include "text.h"

using namespace dialogue;
using testing_support::ProgramFolder;

// Links, FIFOs and permission bits, as POSIX systems have them.

TEST(FileSelection, LinksAreFollowed) {
    ProgramFolder folder;
    folder.Write(u"г", "x|y");
    folder.Write(u"ь", "");
    std::filesystem::create_symlink(folder.MemPath(u"г"), folder.MemPath(u"к"));
    std::filesystem::create_symlink(folder.Root() / "nowhere", folder.MemPath(u"л"));
    const std::u16string dir = folder.Dir();
    EXPECT_EQ(SelectKnowledgeFile(dir, u"к"), dir + u"mem/к");
    EXPECT_EQ(SelectKnowledgeFile(dir, u"лук"), dir + u"mem/ь");  // dangling link
}

TEST(FileReading, FifoDoesNotHang) {
    ProgramFolder folder;
    ASSERT_EQ(::mkfifo(folder.MemPath(u"ь").c_str(), 0600), 0);
    EXPECT_THROW(ReadKnowledgeFile(folder.Dir() + u"mem/ь"), FileOpenError);
}

// Needs a plain user: root reads every file. The test command runs the tests as one.
TEST(FileReading, UnreadableFileOrFolderIsRefused) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    struct Case {
        const char* name;
        std::filesystem::path locked;  // relative to the program folder
    };
    const Case cases[] = {
        {"file without read permission", "mem/а"},
        {"knowledge folder without search permission", "mem"},
    };
    for (const auto& c : cases) {
        ProgramFolder folder;
        const auto path = folder.Write(u"а", "a|b");
        std::filesystem::permissions(folder.Root() / c.locked, std::filesystem::perms::none);
        try {
            ReadKnowledgeFile(path);
            ADD_FAILURE() << c.name << ": read";
        } catch (const FileOpenError& error) {
            EXPECT_EQ(ToUtf8(error.Message()),
                      "Cannot open file \"" + folder.PathOf("mem/а") + "\". Permission denied")
                << c.name;
        }
        std::filesystem::permissions(folder.Root() / c.locked, std::filesystem::perms::owner_all);
    }
}
