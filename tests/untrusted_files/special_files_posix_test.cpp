#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "real_path.h"
#include "untrusted_file_test_support.h"

using namespace untrusted_files;
using untrusted_file_testing::Folder;
namespace fs = std::filesystem;

// FIFOs, devices and links: a FIFO must not even be opened (that would hang).
TEST(UntrustedFilePosix, SpecialFilesAndLinks) {
    Folder folder;
    folder.Write("four", "abcd");
    ASSERT_EQ(::mkfifo(folder.Path("fifo").c_str(), 0600), 0);
    fs::create_symlink(folder.Under("four"), folder.Under("link"));
    fs::create_symlink(folder.Under("nowhere"), folder.Under("dangling"));

    struct Case {
        std::string path;
        FileStatus status;
        int error;
        std::string bytes;
    };
    const Case cases[] = {
        {folder.Path("link"), FileStatus::Read, 0, "abcd"},
        {folder.Path("dangling"), FileStatus::Missing, ENOENT, ""},
        {folder.Path("four/under"), FileStatus::Missing, ENOTDIR, ""},
        {folder.Path("fifo"), FileStatus::NotRegular, EINVAL, ""},
        {"/dev/zero", FileStatus::NotRegular, EINVAL, ""},
    };
    for (const auto& c : cases) {
        const FileContents read = ReadWholeFile(c.path, 4);
        EXPECT_EQ(read.status, c.status) << c.path;
        EXPECT_EQ(read.error, c.error) << c.path;
        EXPECT_EQ(read.bytes, c.bytes) << c.path;
    }
    EXPECT_EQ(ReadFileHead("/dev/zero", 4).status, FileStatus::NotRegular);
    EXPECT_FALSE(IsRegularFile("/dev/null"));
    EXPECT_FALSE(IsRegularFile(folder.Path("fifo")));
    EXPECT_TRUE(IsRegularFile(folder.Path("link")));
}

// A file that grows after it was measured is never read past the limit: /proc files
// measure 0 bytes and hold more.
TEST(UntrustedFilePosix, GrowthPastTheLimitIsSeen) {
    struct stat info {};
    ASSERT_EQ(::stat("/proc/self/status", &info), 0);
    ASSERT_EQ(info.st_size, 0);
    const FileContents whole = ReadWholeFile("/proc/self/status", 1 << 20);
    ASSERT_EQ(whole.status, FileStatus::Read);
    ASSERT_GT(whole.bytes.size(), 10u);
    const FileContents cut = ReadWholeFile("/proc/self/status", whole.bytes.size() / 2);
    EXPECT_EQ(cut.status, FileStatus::TooLarge);
    EXPECT_EQ(cut.error, EFBIG);
}

// Programs are known by their execute bits, not by their names.
TEST(UntrustedFilePosix, ExecutableByPermissionBits) {
    Folder folder;
    const std::string program = folder.Write("program", "#!/bin/sh\n");
    fs::permissions(program, fs::perms::owner_exec, fs::perm_options::add);
    const std::string named = folder.Write("named.exe", "MZ");
    fs::create_directory(folder.Under("folder"));
    fs::permissions(folder.Under("folder"), fs::perms::all);

    EXPECT_TRUE(IsRegularFile(program));
    EXPECT_TRUE(IsExecutableFile(program));
    EXPECT_FALSE(IsExecutableFile(named));
    EXPECT_FALSE(IsExecutableFile(folder.Path("folder")));  // searchable, not executable
    EXPECT_FALSE(IsExecutableFile(program + std::string("\0", 1)));
}

TEST(RealPathPosix, LinksAreResolved) {
    Folder folder;
    folder.Write("four", "abcd");
    fs::create_directory(folder.Under("inner"));
    fs::create_symlink(folder.Under("four"), folder.Under("inner/link"));
    fs::create_symlink(folder.Under("inner"), folder.Under("folder-link"));
    const std::optional<std::string> four = RealPath(folder.Path("four"));
    ASSERT_TRUE(four);
    EXPECT_EQ(RealPath(folder.Path("folder-link/link")), four);
    EXPECT_EQ(RealPath(folder.Path("folder-link")), RealPath(folder.Path("inner")));
}
