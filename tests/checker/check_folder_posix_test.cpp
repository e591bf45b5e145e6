// CheckFolder where POSIX systems differ: FIFOs, permission bits, symbolic links and names
// that are not UTF-8.
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "checker.h"
#include "checker_test_support.h"

namespace {

using checker::CheckFolder;
using checker::CheckResult;
using checker::Kind;
using namespace checker_testing;

// Names are exact here: the program looks for mem/г, which a file named mem/Г is not; a name
// that is a blank is never selected, as input is trimmed.
TEST(CheckFolder, CapitalAndBlankNamesAreNeverSelected) {
    TempFolder folder;
    folder.Write("mem/ь", kFallback);
    folder.Write("mem/Г", Utf8File({"гол |Заглавное имя."}));
    folder.Write("mem/ ", Utf8File({"гол|Пробел в имени."}));
    const CheckResult result = CheckFolder(folder.Dir());
    ASSERT_EQ(result.findings.size(), 2u) << Describe(result);
    EXPECT_EQ(result.findings[0].file, "mem/ ");
    EXPECT_EQ(result.findings[0].kind, Kind::UnusedFile);
    EXPECT_EQ(result.findings[1].file, "mem/Г");
    EXPECT_EQ(result.findings[1].kind, Kind::UnusedFile);
    EXPECT_NE(dialogue::ToUtf8(result.findings[1].message).find("mem/г"), std::string::npos);
}

TEST(CheckFolder, FifosNeverHang) {
    TempFolder folder;
    ASSERT_EQ(::mkfifo((folder.Root() / "mem/г").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((folder.Root() / "mem/ь").c_str(), 0600), 0);
    const CheckResult result = CheckFolder(folder.Dir());
    ASSERT_EQ(result.findings.size(), 2u) << Describe(result);
    EXPECT_EQ(result.findings[0].kind, Kind::UnusedFile);
    EXPECT_EQ(result.findings[1].kind, Kind::NoFallback);
}

// Needs a plain user: root reads every file. The test command runs the tests as one.
TEST(CheckFolder, UnreadableFileOrFolderIsAFinding) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    struct Case {
        const char* locked;
        std::string file;
        std::string messagePart;
    };
    const Case cases[] = {
        {"mem/г", "mem/г", "Permission denied"},
        {"mem", "mem/", "папка не читается"},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        folder.Write("mem/ь", kFallback);
        folder.Write("mem/г", Utf8File({"гол|Да."}));
        std::filesystem::permissions(folder.Root() / c.locked, std::filesystem::perms::none);
        const CheckResult result = CheckFolder(folder.Dir());
        std::filesystem::permissions(folder.Root() / c.locked, std::filesystem::perms::owner_all);
        ASSERT_FALSE(result.findings.empty()) << c.locked;
        EXPECT_EQ(result.findings[0].file, c.file) << Describe(result);
        EXPECT_EQ(result.findings[0].kind, Kind::Unreadable) << Describe(result);
        EXPECT_NE(dialogue::ToUtf8(result.findings[0].message).find(c.messagePart),
                  std::string::npos)
            << Describe(result);
    }
}

TEST(CheckFolder, SymbolicLinksAreFollowedAndOddNamesKept) {
    TempFolder folder;
    folder.Write("mem/ь", kFallback);
    folder.Write("elsewhere", Utf8File({"фаза|Да.", "фа |Нет."}));
    std::filesystem::create_symlink("../elsewhere", folder.Root() / "mem/ф");
    std::filesystem::create_symlink("nowhere", folder.Root() / "mem/ш");
    folder.Write("mem/\xFF", "not UTF-8 in the name");
    const CheckResult result = CheckFolder(folder.Dir());
    ASSERT_EQ(result.findings.size(), 3u) << Describe(result);
    EXPECT_EQ(result.findings[0].file, "mem/ф");
    EXPECT_EQ(result.findings[0].kind, Kind::BlankAtBar);
    EXPECT_EQ(result.findings[1].file, "mem/ш");  // dangling: the program never reads it
    EXPECT_EQ(result.findings[1].kind, Kind::UnusedFile);
    EXPECT_EQ(result.findings[2].file, "mem/\uFFFD");
    EXPECT_EQ(result.findings[2].kind, Kind::UnusedFile);
}

// Pages are judged by their real path, as the viewer judges them; unreading needs a plain user.
TEST(CheckFolder, LinkedPagesByRealPathAndReadability) {
    TempFolder folder;
    folder.Write("mem/ь", kFallback);
    folder.Write("mem/г", Utf8File({"г1|$/away.html$Ссылка наружу.", "г2|$/locked.html$Закрыта.",
                                    "г3|$/inside.html$Ссылка внутри."}));
    folder.Write("outside.html", "<html></html>");
    folder.Write("bio/locked.html", "<html></html>");
    folder.Write("bio/real.html", "<html></html>");
    std::filesystem::create_symlink("../outside.html", folder.Root() / "bio/away.html");
    std::filesystem::create_symlink("real.html", folder.Root() / "bio/inside.html");
    std::filesystem::permissions(folder.Root() / "bio/locked.html", std::filesystem::perms::none);
    const CheckResult result = CheckFolder(folder.Dir());
    std::vector<std::pair<std::size_t, Kind>> got;
    for (const auto& f : result.findings) got.emplace_back(f.line, f.kind);
    std::vector<std::pair<std::size_t, Kind>> want = {{1, Kind::LinkOutsideBio}};
    if (::geteuid() != 0) want.emplace_back(2, Kind::UnreadablePage);
    EXPECT_EQ(got, want) << Describe(result);
}

// "bio.." is a folder name of its own here, beside bio/: a page under it is outside.
TEST(CheckFolder, FolderNamesWithTrailingDotsAreOtherFolders) {
    TempFolder folder;
    folder.Write("mem/ь", kFallback);
    folder.Write("mem/г", Utf8File({"г1|$../here.html$Есть.", "г2|$../nowhere.html$Нигде."}));
    folder.Write("bio/here.html", "<html><body><p>Да</p></body></html>");
    folder.Write("bio../here.html", "<html><body><p>Рядом</p></body></html>");
    const CheckResult result = CheckFolder(folder.Dir());
    ASSERT_EQ(result.findings.size(), 2u) << Describe(result);
    for (const auto& [finding, words] :
         {std::pair{result.findings[0],
                    "на bio../here.html, за пределы папки статей bio/: "
                    "просмотр покажет этот файл"},
          std::pair{result.findings[1],
                    "на bio../nowhere.html, за пределы папки статей bio/: а такого файла нет"}}) {
        EXPECT_EQ(finding.kind, Kind::LinkOutsideBio) << Describe(result);
        EXPECT_NE(dialogue::ToUtf8(finding.message).find(words), std::string::npos)
            << Describe(result);
    }
}

}  // namespace
