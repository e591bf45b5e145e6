// FixFolder where Windows differs: files with more than one name, read-only files.
#include <gtest/gtest.h>

#include <filesystem>

#include <windows.h>

#include "atomic_write.h"
#include "checker_test_support.h"
#include "fixer.h"

namespace {

using checker::FixChange;
using checker::FixFolder;
using checker::FixResult;
using namespace checker_testing;
using Action = FixChange::Action;

TEST(FixFolder, SharedFilesAreReportedNotTouched) {
    TempFolder folder;
    folder.Write("mem/ь", kFallback);
    folder.Write("shared", Utf8File({"шум |Две ссылки."}));
    std::filesystem::create_hard_link(folder.Under("shared"), folder.Under("mem/ш"));
    const auto before = Snapshot(folder);

    const FixResult result = FixFolder(folder.Dir(), false);
    ASSERT_EQ(result.changes.size(), 1u) << Describe(result);
    EXPECT_EQ(result.changes[0].action, Action::Kept);
    EXPECT_NE(dialogue::ToUtf8(result.changes[0].reason).find("несколько имён"), std::string::npos);
    EXPECT_EQ(Snapshot(folder), before);
}

// A new file made read-only stays so; a file is replaced by a rename, not written in place.
TEST(AtomicWrite, NewFilesGetTheirModeAndReplacementsAreRenames) {
    TempFolder folder;
    const std::string path = folder.PathOf("file");
    std::string error;
    const auto made = checker::WriteAtomically(path, "old", std::nullopt, 0444, error);
    ASSERT_TRUE(made) << error;
    EXPECT_EQ(made->mode, 0444u);
    EXPECT_TRUE(GetFileAttributesW(folder.Under("file").c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(folder.Under("file").c_str(), FILE_ATTRIBUTE_NORMAL);

    const auto asRead = checker::IdentityOf(path, error);
    ASSERT_TRUE(asRead) << error;
    const auto written = checker::WriteAtomically(path, "new", asRead, 0644, error);
    ASSERT_TRUE(written) << error;
    EXPECT_NE(written->inode, asRead->inode);
    EXPECT_EQ(ReadBytes(folder.Under("file")), "new");
}

}  // namespace
