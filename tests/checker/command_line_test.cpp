// tsldemo-check as a program: the fixture folder, --json, exit status and usage errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <tuple>

#include "checker.h"
#include "checker_program_support.h"
#include "checker_test_support.h"
#include "command_line.h"

namespace {

using namespace checker_testing;

// Each kind once, where the fixture's generator puts it.
const std::set<std::tuple<std::string, std::size_t, std::string>> kFixtureFindings = {
    {"mem/г", 2, "case-duplicate"},
    {"mem/г", 3, "blank-at-bar"},
    {"mem/г", 4, "shadowed"},
    {"mem/г", 6, "missing-page"},
    {"mem/г", 7, "no-bar"},
    {"mem/г", 10, "empty-question"},
    {"mem/г", 11, "wrong-file"},
    {"mem/д", 2, "after-nul"},
    {"mem/к", 0, "undecodable"},
    {"mem/ь", 2, "fallback-has-own-file"},
    {"mem/заметки.txt", 0, "unused-file"},
};

TEST(CheckerProgram, FixtureReportsEachKindWhereItIs) {
    const ProgramRun run = RunChecker({kFixture});
    EXPECT_EQ(run.status, checker::kExitErrors) << run.err;
    std::vector<std::string> lines = Lines(run.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Ошибок: 8, предупреждений: 3. Проверено файлов: 3, строк: 17.");
    lines.pop_back();

    std::set<std::tuple<std::string, std::size_t, std::string>> seen;
    std::tuple<std::string, std::size_t> previous;
    for (const auto& line : lines) {
        // file[:line]: kind: message
        const auto colon = line.find(": ");
        ASSERT_NE(colon, std::string::npos) << line;
        std::string file = line.substr(0, colon);
        std::size_t number = 0;
        if (const auto at = file.find(':'); at != std::string::npos) {
            number = std::stoul(file.substr(at + 1));
            file.resize(at);
        }
        const auto kindEnd = line.find(": ", colon + 2);
        ASSERT_NE(kindEnd, std::string::npos) << line;
        EXPECT_TRUE(seen.emplace(file, number, line.substr(colon + 2, kindEnd - colon - 2)).second)
            << line;
        EXPECT_LE(previous, std::make_tuple(file, number)) << "out of order: " << line;
        previous = {file, number};
    }
    EXPECT_EQ(seen, kFixtureFindings) << run.out;
    EXPECT_NE(run.out.find("mem/г:3: blank-at-bar: "), std::string::npos);
    EXPECT_NE(run.out.find("«грипп\\t|Пейте больше и отдыхайте.»"), std::string::npos) << run.out;
    EXPECT_NE(
        run.out.find(
            "mem/к: undecodable: программа не сможет прочесть файл и покажет ошибку "
            "«No mapping for the Unicode character exists in the target multi-byte code page.»"),
        std::string::npos)
        << run.out;
}

// A small JSON reader, enough to check that each line is one flat object of strings
// and numbers with valid escapes.
class FlatJson {
public:
    explicit FlatJson(std::string_view text) : s_(text) {}

    bool Parse(std::map<std::string, std::string>& fields) {
        Blank();
        if (!Take('{')) return false;
        Blank();
        if (Take('}')) return End();
        do {
            Blank();
            std::string key, value;
            if (!String(key)) return false;
            Blank();
            if (!Take(':')) return false;
            Blank();
            if (Peek() == '"') {
                if (!String(value)) return false;
            } else if (!Number(value)) {
                return false;
            }
            if (!fields.emplace(key, value).second) return false;
            Blank();
        } while (Take(','));
        return Take('}') && End();
    }

private:
    char Peek() const { return p_ < s_.size() ? s_[p_] : '\0'; }
    bool Take(char c) { return Peek() == c && (++p_, true); }
    bool End() { return Blank(), p_ == s_.size(); }
    void Blank() {
        while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\t')) ++p_;
    }
    bool Number(std::string& out) {
        while (p_ < s_.size() && s_[p_] >= '0' && s_[p_] <= '9') out += s_[p_++];
        return !out.empty();
    }
    bool String(std::string& out) {
        if (!Take('"')) return false;
        while (p_ < s_.size()) {
            const auto c = static_cast<unsigned char>(s_[p_++]);
            if (c == '"') return true;
            if (c < 0x20) return false;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            const char e = Peek();
            ++p_;
            if (std::string_view("\"\\/bfnrt").find(e) != std::string_view::npos) {
                out += e == 'n'   ? '\n'
                       : e == 't' ? '\t'
                       : e == 'r' ? '\r'
                       : e == 'b' ? '\b'
                       : e == 'f' ? '\f'
                                  : e;
            } else if (e == 'u') {
                if (p_ + 4 > s_.size()) return false;
                for (int i = 0; i < 4; ++i) {
                    if (!std::isxdigit(static_cast<unsigned char>(s_[p_ + i]))) return false;
                }
                out += static_cast<char>(std::stoi(std::string(s_.substr(p_, 4)), nullptr, 16));
                p_ += 4;
            } else {
                return false;
            }
        }
        return false;
    }

    std::string_view s_;
    std::size_t p_ = 0;
};

bool ValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80         ? 1
                              : (c >> 5) == 6  ? 2
                              : (c >> 4) == 14 ? 3
                              : (c >> 3) == 30 ? 4
                                               : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        }
        i += n;
    }
    return true;
}

TEST(CheckerProgram, JsonLinesHoldOneObjectPerFinding) {
    const ProgramRun run = RunChecker({"--json", kFixture});
    EXPECT_EQ(run.status, checker::kExitErrors);
    EXPECT_NE(run.err.find("Ошибок: 8, предупреждений: 3."), std::string::npos) << run.err;
    ASSERT_TRUE(ValidUtf8(run.out));

    std::set<std::tuple<std::string, std::size_t, std::string>> seen;
    for (const auto& line : Lines(run.out)) {
        std::map<std::string, std::string> fields;
        ASSERT_TRUE(FlatJson(line).Parse(fields)) << line;
        const std::set<std::string> keys = {"file", "line", "kind", "severity", "message", "text"};
        std::set<std::string> got;
        for (const auto& [key, value] : fields) got.insert(key);
        EXPECT_EQ(got, keys) << line;
        const std::string& kind = fields["kind"];
        const bool warning = kind == "no-bar" || kind == "missing-page" || kind == "unused-file";
        EXPECT_EQ(fields["severity"], warning ? "warning" : "error") << line;
        EXPECT_FALSE(fields["message"].empty()) << line;
        seen.emplace(fields["file"], std::stoul(fields["line"]), kind);
        // Texts with a tab, quotes and a backslash come back unchanged.
        const std::map<std::string, std::string> texts = {
            {"blank-at-bar", "грипп\t|Пейте больше и отдыхайте."},
            {"no-bar", "грудь \"болит\""},
            {"missing-page", "горло|$\\net-takoy.html$Полощите горло."},
        };
        if (const auto it = texts.find(kind); it != texts.end()) {
            EXPECT_EQ(fields["text"], it->second);
        }
    }
    EXPECT_EQ(seen, kFixtureFindings) << run.out;
}

TEST(CheckerProgram, ExitStatusFollowsTheWorstFinding) {
    TempFolder clean;
    clean.Write("mem/г", Utf8File({"гол|Да."}));
    clean.Write("mem/ь", Utf8File({"5|Да."}));
    ProgramRun run = RunChecker({clean.RootPath()});
    EXPECT_EQ(run.status, checker::kExitClean);
    EXPECT_EQ(run.out, "Замечаний нет. Проверено файлов: 2, строк: 2.\n");
    EXPECT_EQ(run.err, "");

    TempFolder warnings;
    warnings.Write("mem/г", Utf8File({"гол", "год|$/нет.html$"}));
    warnings.Write("mem/ь", Utf8File({"5|Да."}));
    run = RunChecker({warnings.RootPath() + "/"});
    EXPECT_EQ(run.status, checker::kExitClean) << run.out;
    EXPECT_EQ(Lines(run.out).size(), 3u) << run.out;
}

TEST(CheckerProgram, BadUsageExitsWithTwoAndAMessage) {
    TempFolder noMem;
    std::filesystem::remove(noMem.Root() / "mem");
    const std::vector<std::vector<std::string>> cases = {
        {"--verbose", kFixture},
        {kFixture, kFixture},
        {noMem.RootPath()},
        {noMem.PathOf("absent")},
        {""},
        {"--dry-run", kFixture},
    };
    for (const auto& args : cases) {
        const ProgramRun run = RunChecker(args);
        EXPECT_EQ(run.status, checker::kExitUsage) << args.front();
        EXPECT_EQ(run.out, "") << args.front();
        EXPECT_NE(run.err.find("tsldemo-check: "), std::string::npos) << args.front();
        EXPECT_NE(run.err.find("--help"), std::string::npos) << args.front();
    }
}

TEST(CheckerProgram, HelpIsRussianAndNamesEveryKind) {
    const ProgramRun run = RunChecker({"--help"});
    EXPECT_EQ(run.status, checker::kExitClean);
    EXPECT_NE(run.out.find("Использование: tsldemo-check [--json] [--fix [--dry-run]] [ПАПКА]"),
              std::string::npos);
    EXPECT_NE(run.out.find("JSON Lines"), std::string::npos);
    for (const checker::Kind kind : checker::kAllKinds) {
        EXPECT_NE(run.out.find(std::string("  ") + checker::KindId(kind) + " "), std::string::npos)
            << checker::KindId(kind);
    }
    for (const char* code : {"  0  ", "  1  ", "  2  неверный вызов", "  3  проверка прервана"}) {
        EXPECT_NE(run.out.find(code), std::string::npos) << code;
    }
    EXPECT_EQ(RunChecker({"-h"}).out, run.out);
}

TEST(CheckerProgram, DoubleDashEndsOptions) {
    TempFolder folder;
    folder.Write("-база/mem/ь", "5|yes\n");
    const ProgramRun run = RunProgram(TSL_CHECKER_EXE, {"--", "-база"}, folder.RootPath());
    EXPECT_EQ(run.status, checker::kExitClean) << run.err;
    EXPECT_NE(run.out.find("Замечаний нет."), std::string::npos);
}

// The run shown to authors: a dry run lists the repairs and writes nothing, --fix makes
// them, the check after it is clean, and a second --fix has nothing to do.
TEST(CheckerProgram, FixRepairsEachMechanicalMistakeAndTheCheckComesOutClean) {
    TempFolder folder;
    std::filesystem::copy(kFixFixture, folder.Root(),
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    const std::string dir = folder.RootPath();
    const auto before = FolderBytes(folder.Root());

    const ProgramRun dry = RunChecker({"--fix", "--dry-run", dir});
    EXPECT_EQ(dry.status, checker::kExitErrors) << dry.out << dry.err;
    EXPECT_EQ(FolderBytes(folder.Root()), before);
    EXPECT_NE(
        dry.out.find(
            "Пробный запуск, файлы не изменены. Исправлений было бы: 6, оставлено как есть: 0."),
        std::string::npos)
        << dry.out;

    const ProgramRun fix = RunChecker({"--fix", dir});
    EXPECT_EQ(fix.status, checker::kExitClean) << fix.out << fix.err;
    const std::vector<std::string> want = {
        "mem/г:2: убраны пробелы перед «|»: «грипп|Пейте больше и отдыхайте.»",
        "mem/г:3: перенесена в mem/д:2: «дыхание|Дышите ровно.»",
        "mem/г:4: перенесена в mem/ь:2: «ягода|Ешьте по горсти в день.»",
        "mem/м: добавлена метка UTF-8",
        "mem/м:2: перенесена в mem/г:3: «горчичник|Не ставьте на ночь.»",
        "mem/ь:2: перенесена в mem/г:4, пробелы перед «|» убраны: «головокружение|Присядьте.»",
        "Исправлений: 6, оставлено как есть: 0. Записано файлов: 4.",
        "Замечаний нет. Проверено файлов: 4, строк: 9.",
    };
    EXPECT_EQ(Lines(fix.out), want) << fix.out;
    // Each file keeps its encoding: д stays Windows-1251, ь UTF-16 LE.
    const auto after = FolderBytes(folder.Root());
    EXPECT_EQ(after.at("mem/д"),
              "\xE4\xE0\xE2\xEB\xE5\xED\xE8\xE5|\xC8\xE7\xEC\xE5\xF0\xFF\xE9\xF2\xE5 "
              "\xF3\xF2\xF0\xEE\xEC.\n\xE4\xFB\xF5\xE0\xED\xE8\xE5|\xC4\xFB\xF8\xE8\xF2\xE5 "
              "\xF0\xEE\xE2\xED\xEE.\n");
    EXPECT_EQ(after.at("mem/ь").substr(0, 2), "\xFF\xFE");

    const ProgramRun check = RunChecker({dir});
    EXPECT_EQ(check.status, checker::kExitClean) << check.out;
    const ProgramRun again = RunChecker({"--fix", dir});
    EXPECT_EQ(again.status, checker::kExitClean);
    EXPECT_EQ(Lines(again.out).front(),
              "Исправлений: 0, оставлено как есть: 0. Записано файлов: 0.");
    EXPECT_EQ(FolderBytes(folder.Root()), after);
}

TEST(CheckerProgram, FixBesideJsonListsTheRepairsInTheErrorStream) {
    TempFolder folder;
    folder.Write("mem/г", Utf8File({"гол |Да."}));
    folder.Write("mem/ь", Utf8File({"5|Да."}));
    const ProgramRun run = RunChecker({"--json", "--fix", folder.RootPath()});
    EXPECT_EQ(run.status, checker::kExitClean);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("mem/г:1: убраны пробелы перед «|»"), std::string::npos) << run.err;
}

TEST(RunChecker, ReportThatCannotBeWrittenIsNoUsageError) {
    std::ostringstream out, err;
    out.setstate(std::ios::badbit);
    EXPECT_EQ(checker::RunChecker({kFixture}, out, err, checker::RunEnvironment{}),
              checker::kExitFailed);
    EXPECT_NE(err.str().find("не удалось вывести отчёт"), std::string::npos);
}

TEST(RunChecker, DefaultFolderUnknownIsAUsageError) {
    std::ostringstream out, err;
    EXPECT_EQ(checker::RunChecker({}, out, err, checker::RunEnvironment{}), checker::kExitUsage);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("не удалось определить папку программы"), std::string::npos);
}

}  // namespace
