#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "real_path.h"
#include "untrusted_file_test_support.h"

using namespace untrusted_files;
using untrusted_file_testing::Folder;
namespace fs = std::filesystem;

// What every system must do alike; each system's special files have a file of their own.
TEST(UntrustedFile, WholeFileWithinTheLimitOrRefusedWithItsReason) {
    Folder folder;
    folder.Write("four", "abcd");
    folder.Write("empty", "");
    fs::create_directory(folder.Under("folder"));

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
        {folder.Path("none"), 4, kNoMemoryLimit, FileStatus::Missing, ENOENT, ""},
        {folder.Path("folder"), 4, kNoMemoryLimit, FileStatus::Folder, EISDIR, ""},
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

// Bytes come back exactly as stored: no line ends translated, no stop at 0x1A (which a
// text-mode read on Windows takes for the end; UTF-16 LE "К" is 1A 04), whatever the
// file's name is written in.
TEST(UntrustedFile, BytesComeBackAsStoredUnderAnyName) {
    Folder folder;
    const std::string bytes("\xFF\xFE\x1A\x04\r\n\x00\x1A\r\rend\n", 14);
    for (const std::string name : {"plain", "ь", "головная боль.txt"}) {
        const std::string path = folder.Write(name, bytes);
        const FileContents read = ReadWholeFile(path, 1 << 20);
        EXPECT_EQ(read.status, FileStatus::Read) << name;
        EXPECT_EQ(read.bytes, bytes) << name;
        EXPECT_EQ(ReadFileHead(path, 5).bytes, bytes.substr(0, 5)) << name;
        EXPECT_TRUE(IsRegularFile(path)) << name;
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
}

TEST(UntrustedFile, RegularFilesAreFilesOnly) {
    Folder folder;
    const std::string plain = folder.Write("plain", "x");
    fs::create_directory(folder.Under("folder"));
    EXPECT_TRUE(IsRegularFile(plain));
    EXPECT_FALSE(IsRegularFile(folder.Path("folder")));
    EXPECT_FALSE(IsRegularFile(folder.Path("none")));
    EXPECT_FALSE(IsRegularFile(plain + std::string("\0", 1)));
    EXPECT_FALSE(IsExecutableFile(plain));
    EXPECT_FALSE(IsExecutableFile(folder.Path("folder")));
    EXPECT_FALSE(IsExecutableFile(folder.Path("none")));
}

TEST(RealPath, AbsoluteWithTheFoldersAsTheyAreAndNothingForAMissingName) {
    Folder folder;
    folder.Write("ь", "x");
    fs::create_directory(folder.Under("папка"));
    const std::optional<std::string> root = RealPath(folder.Path(""));
    ASSERT_TRUE(root);
    const std::string separator = Utf8FromPath(fs::path("/").make_preferred());
    EXPECT_EQ(RealPath(folder.Path("папка/../ь")), *root + separator + "ь");
    EXPECT_EQ(RealPath(folder.Path("./папка")), *root + separator + "папка");
    EXPECT_EQ(RealPath(folder.Path("нет")), std::nullopt);
    EXPECT_EQ(RealPath(""), std::nullopt);
    EXPECT_EQ(RealPath(folder.Path("ь") + std::string("\0", 1)), std::nullopt);
}
