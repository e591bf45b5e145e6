// FixFolder and atomic writes where POSIX systems differ: symbolic links, permission bits,
// owners and groups.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "atomic_write.h"
#include "checker.h"
#include "checker_test_support.h"
#include "fixer.h"

namespace {

using checker::FixChange;
using checker::FixFolder;
using checker::FixResult;
using namespace checker_testing;
using Action = FixChange::Action;

TEST(FixFolder, LinksSpecialFilesAndSharedFilesAreReportedNotTouched) {
    TempFolder folder;
    folder.Write("mem/ь", kFallback);
    folder.Write("elsewhere", Utf8File({"фаза |Ссылка."}));
    std::filesystem::create_symlink("../elsewhere", folder.Root() / "mem/ф");
    folder.Write("shared", Utf8File({"шум |Две ссылки."}));
    std::filesystem::create_hard_link(folder.Root() / "shared", folder.Root() / "mem/ш");
    const auto before = Snapshot(folder);

    const FixResult result = FixFolder(folder.Dir(), false);
    ASSERT_EQ(result.changes.size(), 2u) << Describe(result);
    EXPECT_EQ(result.changes[0].action, Action::Kept);
    EXPECT_NE(dialogue::ToUtf8(result.changes[0].reason).find("символическая ссылка"),
              std::string::npos);
    EXPECT_EQ(result.changes[1].action, Action::Kept);
    EXPECT_NE(dialogue::ToUtf8(result.changes[1].reason).find("несколько имён"), std::string::npos);
    EXPECT_EQ(Snapshot(folder), before);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.Root() / "mem/ф"));
}

// A link named as a temporary file is not what a killed run leaves: neither named nor removed.
TEST(FixFolder, LinkNamedAsATemporaryFileStays) {
    TempFolder folder;
    folder.Write("mem/г", Utf8File({"гол|Да."}));
    folder.Write("mem/ь", kFallback);
    const auto link = folder.Root() / "mem/.г.tsldemo-check-Zx12Cv";
    std::filesystem::create_symlink("г", link);

    for (const auto& finding : checker::CheckFolder(folder.Dir()).findings)
        EXPECT_NE(finding.kind, checker::Kind::LeftTemporary) << finding.file;
    const FixResult result = FixFolder(folder.Dir(), false);
    EXPECT_EQ(result.made, 0u) << Describe(result);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
}

TEST(FixFolder, RewrittenFileKeepsItsPermissions) {
    TempFolder folder;
    folder.Write("mem/ь", kFallback);
    folder.Write("mem/г", Utf8File({"гол |Да."}));
    const auto path = folder.Root() / "mem/г";
    ::chmod(path.c_str(), 0604);
    struct stat before {};
    ::stat(path.c_str(), &before);

    const FixResult result = FixFolder(folder.Dir(), false);
    EXPECT_EQ(result.filesWritten, 1u) << Describe(result);
    struct stat after {};
    ::stat(path.c_str(), &after);
    EXPECT_EQ(after.st_mode & 07777, 0604u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_NE(after.st_ino, before.st_ino) << "replaced by a rename, not written in place";
    EXPECT_EQ(ReadBytes(path), Utf8File({"гол|Да."}));
}

// A file turned into a link between reading and writing is not written through.
TEST(AtomicWrite, RefusesAFileReplacedByALink) {
    TempFolder folder;
    const std::string path = folder.PathOf("file");
    folder.Write("file", "old");
    std::string error;
    const auto identity = checker::IdentityOf(path, error);
    ASSERT_TRUE(identity);
    std::filesystem::remove(path);
    std::filesystem::create_symlink("target", path);
    EXPECT_FALSE(checker::WriteAtomically(path, "new", identity, 0644, error));
    EXPECT_NE(error.find("символическая ссылка"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(folder.Root() / "target"));
}

// A group this process is not in, so that only root may give a file that group.
gid_t GroupNotMine() {
    std::vector<gid_t> mine(static_cast<std::size_t>(std::max(0, ::getgroups(0, nullptr))));
    mine.resize(static_cast<std::size_t>(
        std::max(0, ::getgroups(static_cast<int>(mine.size()), mine.data()))));
    mine.push_back(::getegid());
    for (const gid_t candidate : {gid_t{0}, gid_t{65534}, gid_t{1}, gid_t{2}, gid_t{3}}) {
        if (std::find(mine.begin(), mine.end(), candidate) == mine.end()) return candidate;
    }
    return gid_t{4};
}

// A user's own copy of a base that carries another group (what `sudo cp -r` then
// `chown -R user` leaves): the owner is kept, and the group where the writer may give it;
// otherwise the file gets the writer's group and the identity returned says so. An owner
// that cannot be kept is still refused.
TEST(AtomicWrite, KeepsTheOwnerAndTheGroupWhereTheWriterMay) {
    TempFolder folder;
    const std::string path = folder.PathOf("file");
    std::string error;
    const auto identity = checker::WriteAtomically(path, "old", std::nullopt, 0644, error);
    ASSERT_TRUE(identity) << error;
    checker::FileIdentity asRead = *identity;
    asRead.group = GroupNotMine();
    const auto written = checker::WriteAtomically(path, "new", asRead, 0644, error);
    ASSERT_TRUE(written) << error;
    EXPECT_EQ(ReadBytes(path), "new");
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, identity->owner);
    const gid_t expected = ::geteuid() == 0 ? asRead.group : identity->group;
    EXPECT_EQ(after.st_gid, expected);
    EXPECT_EQ(written->group, expected);

    if (::geteuid() == 0) return;  // root may give a file any owner
    checker::FileIdentity otherOwner = *written;
    otherOwner.owner = ::geteuid() + 1;
    error.clear();
    EXPECT_FALSE(checker::WriteAtomically(path, "newer", otherOwner, 0644, error));
    EXPECT_NE(error.find("владельца"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(path), "new");
}

}  // namespace
