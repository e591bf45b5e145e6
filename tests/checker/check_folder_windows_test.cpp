// CheckFolder where Windows differs: a file another program holds locked, names that ignore
// case.
#include <gtest/gtest.h>

#include <windows.h>

#include "checker.h"
#include "checker_test_support.h"
#include "fixer.h"

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

// The program looks for mem/г, which opens a file named mem/Г: its lines are checked and
// repaired as the small letter's file, and only the small letter's name counts. Mem/Ь is
// the fallback itself.
TEST(CheckFolder, CapitalNamesAreTheSmallLettersFiles) {
    TempFolder folder;
    folder.Write("mem/Ь", kFallback);
    folder.Write("mem/Г", Utf8File({"гол |Заглавное имя.", "дом|Не тот файл."}));
    const CheckResult result = CheckFolder(folder.Dir());
    ASSERT_EQ(result.findings.size(), 2u) << Describe(result);
    EXPECT_EQ(result.findings[0].file, "mem/г") << Describe(result);
    EXPECT_EQ(result.findings[0].line, 1u);
    EXPECT_EQ(result.findings[0].kind, Kind::BlankAtBar);
    EXPECT_EQ(result.findings[1].kind, Kind::WrongFile) << Describe(result);
    EXPECT_EQ(result.files, 2u);

    const checker::FixResult fixed = checker::FixFolder(folder.Dir(), false);
    EXPECT_FALSE(fixed.writeFailed) << Describe(fixed);
    EXPECT_EQ(fixed.made, 2u) << Describe(fixed);
    EXPECT_EQ(ReadBytes(folder.Under("mem/г")), Utf8File({"гол|Заглавное имя."}));
    EXPECT_EQ(ReadBytes(folder.Under("mem/ь")),
              kFallback + Utf8File({"дом|Не тот файл."}).substr(3));
    EXPECT_TRUE(CheckFolder(folder.Dir()).findings.empty());
}

// Windows makes no folder "bio.." (it would be bio), and inside a path the name stays as
// written: a page under it is missing, whatever bio/ holds.
TEST(CheckFolder, PagesUnderFolderNamesWithTrailingDotsAreMissing) {
    TempFolder folder;
    folder.Write("mem/ь", kFallback);
    folder.Write("mem/г", Utf8File({"г1|$../here.html$Есть.", "г2|$../nowhere.html$Нигде."}));
    folder.Write("bio/here.html", "<html><body><p>Да</p></body></html>");
    const CheckResult result = CheckFolder(folder.Dir());
    ASSERT_EQ(result.findings.size(), 2u) << Describe(result);
    for (const auto& [finding, words] :
         {std::pair{result.findings[0], "bio../here.html, а такого файла нет"},
          std::pair{result.findings[1], "bio../nowhere.html, а такого файла нет"}}) {
        EXPECT_EQ(finding.kind, Kind::MissingPage) << Describe(result);
        EXPECT_NE(dialogue::ToUtf8(finding.message).find(words), std::string::npos)
            << Describe(result);
    }
}

}  // namespace
