// tsldemo-check as a program where POSIX systems differ: links, owners and groups,
// permission bits.
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "checker.h"
#include "checker_program_support.h"
#include "checker_test_support.h"
#include "command_line.h"

namespace {

using namespace checker_testing;

// Without a folder the checker checks its own real folder, through any link to it.
TEST(CheckerProgram, DefaultFolderIsTheExecutablesRealFolder) {
    TempFolder installed;
    std::filesystem::copy_file(TSL_CHECKER_EXE, installed.Root() / "tsldemo-check");
    installed.Write("mem/ь", Utf8File({"5 |Нельзя задать."}));
    TempFolder bin;
    std::filesystem::create_symlink(installed.Root() / "tsldemo-check",
                                    bin.Root() / "tsldemo-check");

    const ProgramRun run = RunProgram(bin.PathOf("tsldemo-check"), {});
    EXPECT_EQ(run.status, checker::kExitErrors) << run.err;
    EXPECT_EQ(run.out.rfind("mem/ь:1: blank-at-bar: ", 0), 0u) << run.out;
}

// A user fixing their own copy whose files carry a group the user is not in: the files are
// written with the user's group, and the change lines say so. Root plays the user (nobody)
// through setpriv; run by anyone else, there is no group to hand over.
TEST(CheckerProgram, FixWritesAUsersFileWithTheUsersGroupAndSaysSo) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a user's file a group the user is not in";
    TempFolder folder;
    folder.Write("mem/ь", Utf8File({"ь|Мягкий знак."}));
    folder.Write("mem/г", Utf8File({"гол |Да."}));
    const uid_t nobody = 65534;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.Root()))
        ASSERT_EQ(::lchown(entry.path().c_str(), nobody, 0), 0) << entry.path();
    ASSERT_EQ(::chown(folder.Root().c_str(), nobody, 0), 0);

    const ProgramRun run =
        RunProgram("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", TSL_CHECKER_EXE,
                               "--fix", folder.RootPath()});
    EXPECT_EQ(run.status, checker::kExitClean) << run.out << run.err;
    EXPECT_NE(run.out.find("mem/г: записан с группой «nogroup» вместо «root»"), std::string::npos)
        << run.out;
    EXPECT_EQ(ReadAll(folder.Root() / "mem/г"), Utf8File({"гол|Да."}));
    struct stat after {};
    ASSERT_EQ(::stat((folder.Root() / "mem/г").c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, nobody);
    EXPECT_EQ(after.st_gid, gid_t{65534});
}

// Needs a plain user: root writes into any folder.
TEST(CheckerProgram, FixThatCannotWriteExitsWithThreeAndLosesNothing) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes everywhere";
    TempFolder folder;
    folder.Write("mem/г", Utf8File({"гол|Да.", "дом|Дом."}));
    folder.Write("mem/д", Utf8File({"дым|Да."}));
    folder.Write("mem/ь", Utf8File({"5|Да."}));
    const auto before = FolderBytes(folder.Root());
    std::filesystem::permissions(folder.Root() / "mem", std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::owner_exec);
    const ProgramRun run = RunChecker({"--fix", folder.RootPath()});
    std::filesystem::permissions(folder.Root() / "mem", std::filesystem::perms::owner_all);
    EXPECT_EQ(run.status, checker::kExitFailed) << run.out;
    EXPECT_NE(run.out.find("mem/д: не записан: не удалось создать временный файл"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(FolderBytes(folder.Root()), before);
}

// The user must learn what --fix changed: with its report going to a full disk it writes nothing.
TEST(CheckerProgram, FixWhoseReportCannotBeWrittenWritesNothing) {
    TempFolder folder;
    folder.Write("mem/г", Utf8File({"гол |Да.", "дом|Дом."}));
    folder.Write("mem/д", Utf8File({"дым|Да."}));
    folder.Write("mem/ь", Utf8File({"5|Да."}));
    const auto before = FolderBytes(folder.Root());
    for (const bool json : {false, true}) {
        // The shell only points a stream at the full device; the checker gets its words as given.
        const std::string redirect = json ? "2>/dev/full" : ">/dev/full";
        std::vector<std::string> args{"-c", "exec \"$0\" \"$@\" " + redirect, TSL_CHECKER_EXE};
        if (json) args.emplace_back("--json");
        args.insert(args.end(), {"--fix", folder.RootPath()});
        const ProgramRun run = RunProgram("sh", args);
        EXPECT_EQ(run.status, checker::kExitFailed) << json << run.out << run.err;
        EXPECT_EQ(FolderBytes(folder.Root()), before) << json;
    }
}

}  // namespace
