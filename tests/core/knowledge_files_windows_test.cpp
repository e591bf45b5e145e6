#include <gtest/gtest.h>

#include <windows.h>

#include "errors.h"
#include "knowledge_files.h"
#include "program_folder.h"
#include "text.h"

using namespace dialogue;
using testing_support::ProgramFolder;

// Windows' counterpart of a file without read permission: one that another program holds
// open without sharing it. Reading it fails with the same reason, and works once it is free.
TEST(FileReading, LockedFileIsRefused) {
    ProgramFolder folder;
    const auto path = folder.Write(u"а", "a|b");
    const HANDLE holder = CreateFileW(folder.MemPath(u"а").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    try {
        ReadKnowledgeFile(path);
        ADD_FAILURE() << "read";
    } catch (const FileOpenError& error) {
        EXPECT_EQ(ToUtf8(error.Message()),
                  "Cannot open file \"" + folder.PathOf("mem/а") + "\". Permission denied");
    }
    CloseHandle(holder);
    EXPECT_EQ(ReadKnowledgeFile(path), "a|b");
}

// Paths in messages use Windows' separator, whatever separators the path was given with.
TEST(FileReading, MessagesNameWindowsPaths) {
    ProgramFolder folder;
    try {
        ReadKnowledgeFile(folder.Dir() + u"mem/нет");
        ADD_FAILURE() << "read";
    } catch (const FileOpenError& error) {
        const std::string message = ToUtf8(error.Message());
        EXPECT_NE(message.find("\\mem\\нет\""), std::string::npos) << message;
        EXPECT_EQ(message.find('/'), std::string::npos) << message;
    }
}
