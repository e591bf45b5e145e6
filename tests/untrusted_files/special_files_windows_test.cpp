#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include <windows.h>

#include "untrusted_file_test_support.h"

using namespace untrusted_files;
using untrusted_file_testing::Folder;
namespace fs = std::filesystem;

// Device names open a device in any folder and with any extension; they are refused
// without being opened. A file another program holds locked cannot be read.
TEST(UntrustedFileWindows, DevicesLockedFilesAndBadNames) {
    Folder folder;
    folder.Write("four", "abcd");
    const std::string locked = folder.Write("locked", "secret");
    const HANDLE holder = CreateFileW(folder.Under("locked").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    struct Case {
        std::string path;
        FileStatus status;
        int error;
    };
    const Case cases[] = {
        {"NUL", FileStatus::NotRegular, EINVAL},
        {folder.Path("con"), FileStatus::NotRegular, EINVAL},
        {folder.Path("nul.txt"), FileStatus::NotRegular, EINVAL},
        {folder.Path("COM1"), FileStatus::NotRegular, EINVAL},
        {"\\\\.\\pipe\\tsl-test", FileStatus::NotRegular, EINVAL},
        {folder.Path("four") + "\\under", FileStatus::Missing, ENOENT},
        {folder.Path("four") + "\xFF", FileStatus::Missing, ENOENT},  // not UTF-8
        {locked, FileStatus::Unreadable, EACCES},
    };
    for (const auto& c : cases) {
        const FileContents read = ReadWholeFile(c.path, 100);
        EXPECT_EQ(read.status, c.status) << c.path;
        EXPECT_EQ(read.error, c.error) << c.path;
        EXPECT_TRUE(read.bytes.empty()) << c.path;
        EXPECT_FALSE(IsRegularFile(c.path) && c.status != FileStatus::Unreadable) << c.path;
    }
    CloseHandle(holder);
    EXPECT_EQ(ReadWholeFile(locked, 100).bytes, "secret");
}

// Programs are known by their names: what Windows runs, or hands to an interpreter, when
// the file is opened, shortcuts included, in any case of letters.
TEST(UntrustedFileWindows, ProgramsByExtension) {
    Folder folder;
    struct Case {
        const char* name;
        bool program;
    };
    const Case cases[] = {
        {"setup.exe", true},        {"run.CMD", true},    {"start.bat", true},
        {"link.lnk", true},         {"page.URL", true},   {"script.ps1", true},
        {"tool.msi", true},         {"saver.scr", true},  {"page.html", false},
        {"picture.png", false},     {"notes.txt", false}, {"exe", false},
        {"archive.exe.txt", false},
    };
    for (const auto& c : cases) {
        const std::string path = folder.Write(c.name, "x");
        EXPECT_EQ(IsExecutableFile(path), c.program) << c.name;
    }
    fs::create_directory(folder.Under("folder.exe"));
    EXPECT_FALSE(IsExecutableFile(folder.Path("folder.exe")));
}
