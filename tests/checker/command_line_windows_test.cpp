// tsldemo-check as a program where Windows differs: no links to it, files held locked.
#include <gtest/gtest.h>

#include <filesystem>

#include <windows.h>

#include "checker.h"
#include "checker_program_support.h"
#include "checker_test_support.h"
#include "command_line.h"

namespace {

using namespace checker_testing;

// Without a folder the checker checks the folder it was installed into.
TEST(CheckerProgram, DefaultFolderIsTheExecutablesFolder) {
    TempFolder installed;
    std::filesystem::copy_file(untrusted_files::PathFromUtf8(TSL_CHECKER_EXE),
                               installed.Under("tsldemo-check.exe"));
    installed.Write("mem/ь", Utf8File({"5 |Нельзя задать."}));
    const ProgramRun run = RunProgram(installed.PathOf("tsldemo-check.exe"), {});
    EXPECT_EQ(run.status, checker::kExitErrors) << run.err;
    EXPECT_EQ(run.out.rfind("mem/ь:1: blank-at-bar: ", 0), 0u) << run.out;
}

// A file that another program holds open cannot be replaced: the run says so, exits with 3,
// and every file keeps its bytes.
TEST(CheckerProgram, FixThatCannotWriteExitsWithThreeAndLosesNothing) {
    TempFolder folder;
    folder.Write("mem/г", Utf8File({"гол|Да.", "дом|Дом."}));
    folder.Write("mem/д", Utf8File({"дым|Да."}));
    folder.Write("mem/ь", Utf8File({"5|Да."}));
    const auto before = FolderBytes(folder.Root());
    const HANDLE holder = CreateFileW(folder.Under("mem/д").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const ProgramRun run = RunChecker({"--fix", folder.RootPath()});
    CloseHandle(holder);
    EXPECT_EQ(run.status, checker::kExitFailed) << run.out;
    EXPECT_NE(run.out.find("mem/д: не записан: "), std::string::npos) << run.out;
    EXPECT_EQ(FolderBytes(folder.Root()), before);
}

}  // namespace
