// CheckFolder where Windows differs: a file another program holds locked.
#include <gtest/gtest.h>

#include <windows.h>

#include "checker.h"
#include "checker_test_support.h"

namespace {

using checker::CheckFolder;
using checker::CheckResult;
using checker::Kind;
using namespace checker_testing;

TEST(CheckFolder, LockedFileIsAFinding) {
    TempFolder folder;
    folder.Write("mem/ь", kFallback);
    folder.Write("mem/г", Utf8File({"гол|Да."}));
    const HANDLE holder = CreateFileW(folder.Under("mem/г").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const CheckResult result = CheckFolder(folder.Dir());
    CloseHandle(holder);
    ASSERT_FALSE(result.findings.empty()) << Describe(result);
    EXPECT_EQ(result.findings[0].file, "mem/г") << Describe(result);
    EXPECT_EQ(result.findings[0].kind, Kind::Unreadable) << Describe(result);
    EXPECT_NE(dialogue::ToUtf8(result.findings[0].message).find("Permission denied"),
              std::string::npos)
        << Describe(result);
}

}  // namespace
