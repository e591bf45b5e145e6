#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "untrusted_file.h"

using namespace untrusted_files;
namespace fs = std::filesystem;

namespace {

class Folder {
public:
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "tsl-untrusted-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string Path(const std::string& name) const { return (root_ / name).string(); }

private:
    fs::path root_;
};

}  // namespace

TEST(UntrustedFile, WholeFileWithinTheLimitOrRefusedWithItsReason) {
    Folder folder;
    folder.Write("four", "abcd");
    folder.Write("empty", "");
    fs::create_directory(folder.Path("folder"));
    ASSERT_EQ(::mkfifo(folder.Path("fifo").c_str(), 0600), 0);  // opening it must not hang
    fs::create_symlink(folder.Path("four"), folder.Path("link"));
    fs::create_symlink(folder.Path("nowhere"), folder.Path("dangling"));

    struct Case {
        std::string path;
        std::uint64_t maxBytes;
        std::uint64_t memory;
        FileStatus status;
        int error;
        std::string bytes;
    };
    const Case cases[] = {
        {folder.Path("four"), 4, kNoMemoryLimit, FileStatus::Read, 0, "abcd"},  // the limit itself
        {folder.Path("four"), 3, kNoMemoryLimit, FileStatus::TooLarge, EFBIG, ""},
        {folder.Path("four"), 4, 5, FileStatus::Read, 0, "abcd"},
        {folder.Path("four"), 4, 4, FileStatus::OutOfMemory, ENOMEM, ""},
        {folder.Path("empty"), 0, kNoMemoryLimit, FileStatus::Read, 0, ""},
        {folder.Path("link"), 4, kNoMemoryLimit, FileStatus::Read, 0, "abcd"},
        {folder.Path("dangling"), 4, kNoMemoryLimit, FileStatus::Missing, ENOENT, ""},
        {folder.Path("none"), 4, kNoMemoryLimit, FileStatus::Missing, ENOENT, ""},
        {folder.Path("four/under"), 4, kNoMemoryLimit, FileStatus::Missing, ENOTDIR, ""},
        {folder.Path("folder"), 4, kNoMemoryLimit, FileStatus::Folder, EISDIR, ""},
        {folder.Path("fifo"), 4, kNoMemoryLimit, FileStatus::NotRegular, EINVAL, ""},
        {"/dev/zero", 4, kNoMemoryLimit, FileStatus::NotRegular, EINVAL, ""},
        // The system would open "four": a NUL names no file.
        {folder.Path("four") + std::string("\0.html", 6), 4, kNoMemoryLimit, FileStatus::Missing,
         ENOENT, ""},
        {std::string("\0", 1), 4, kNoMemoryLimit, FileStatus::Missing, ENOENT, ""},
        {"", 4, kNoMemoryLimit, FileStatus::Missing, ENOENT, ""},
    };
    for (const auto& c : cases) {
        const FileContents read = ReadWholeFile(c.path, c.maxBytes, c.memory);
        EXPECT_EQ(read.status, c.status) << c.path << " within " << c.maxBytes;
        EXPECT_EQ(read.error, c.error) << c.path << " within " << c.maxBytes;
        EXPECT_EQ(read.bytes, c.bytes) << c.path << " within " << c.maxBytes;
    }
}

TEST(UntrustedFile, HeadIsTheFirstBytesWhateverTheSize) {
    Folder folder;
    const std::string large(100000, 'x');
    const std::string path = folder.Write("large", "head" + large);
    EXPECT_EQ(ReadFileHead(path, 4).bytes, "head");
    EXPECT_EQ(ReadFileHead(path, 1 << 20).bytes.size(), large.size() + 4);
    EXPECT_EQ(ReadFileHead(folder.Path("large") + std::string("\0", 1), 4).status,
              FileStatus::Missing);
    EXPECT_EQ(ReadFileHead("/dev/zero", 4).status, FileStatus::NotRegular);
}

// A file that grows after it was measured is never read past the limit: /proc files
// measure 0 bytes and hold more.
TEST(UntrustedFile, GrowthPastTheLimitIsSeen) {
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

TEST(UntrustedFile, RegularAndExecutableFiles) {
    Folder folder;
    const std::string plain = folder.Write("plain", "x");
    const std::string program = folder.Write("program", "#!/bin/sh\n");
    fs::permissions(program, fs::perms::owner_exec, fs::perm_options::add);
    fs::create_directory(folder.Path("folder"));
    fs::permissions(folder.Path("folder"), fs::perms::all);

    EXPECT_TRUE(IsRegularFile(plain));
    EXPECT_TRUE(IsRegularFile(program));
    EXPECT_FALSE(IsRegularFile(folder.Path("folder")));
    EXPECT_FALSE(IsRegularFile("/dev/null"));
    EXPECT_FALSE(IsRegularFile(folder.Path("none")));
    EXPECT_FALSE(IsRegularFile(plain + std::string("\0", 1)));

    EXPECT_TRUE(IsExecutableFile(program));
    EXPECT_FALSE(IsExecutableFile(plain));
    EXPECT_FALSE(IsExecutableFile(folder.Path("folder")));  // searchable, not executable
    EXPECT_FALSE(IsExecutableFile(program + std::string("\0", 1)));
}
