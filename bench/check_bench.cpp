// Times tsldemo-check on a large generated knowledge base against the program loading
// the same files once (PhraseList::Load of each), in one run on the same warm files.
//
//   scripts/bench.sh, or: build/release/bench/check_bench [FOLDER]
//
// FOLDER (default /tmp/tsldemo-check-bench) is filled with 26 files of 100,000 lines.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "checker.h"
#include "collation.h"
#include "errors.h"
#include "knowledge_files.h"
#include "phrase_list.h"
#include "report.h"

namespace {

constexpr std::size_t kLinesPerFile = 100000;
constexpr int kPages = 100;
constexpr int kRounds = 3;
// 25 letters with files of their own and the fallback file.
constexpr char16_t kLetters[] = u"абвгдежзийклмнопрстуфхцчшь";

const char16_t* const kWords[] = {u"боль",        u"голова", u"сердце",   u"давление",
                                  u"сон",         u"кашель", u"простуда", u"витамин",
                                  u"ожог",        u"грипп",  u"лечение",  u"врач",
                                  u"температура", u"горло",  u"насморк",  u"аллергия"};

struct Random {
    unsigned long long state = 88172645463325252ull;
    unsigned Next(unsigned n) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<unsigned>(state % n);
    }
};

std::string Encode(const std::u16string& text, int encoding) {
    std::string bytes;
    if (encoding == 0) {  // UTF-8 with its mark
        bytes = "\xEF\xBB\xBF" + dialogue::ToUtf8(text);
    } else if (encoding == 1) {  // UTF-16 little-endian with its mark
        bytes = "\xFF\xFE";
        for (const char16_t c : text) {
            bytes.push_back(static_cast<char>(c & 0xFF));
            bytes.push_back(static_cast<char>(c >> 8));
        }
    } else {  // Windows-1251: the generated text is Cyrillic, ASCII and "ё"-free
        for (const char16_t c : text) {
            if (c < 0x80) {
                bytes.push_back(static_cast<char>(c));
            } else if (c >= u'А' && c <= u'я') {
                bytes.push_back(static_cast<char>(0xC0 + (c - u'А')));
            } else {
                bytes.push_back('?');
            }
        }
    }
    return bytes;
}

void Generate(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder / "mem");
    std::filesystem::create_directories(folder / "bio");
    for (int p = 0; p < kPages; ++p) {
        std::ofstream(folder / "bio" / ("page" + std::to_string(p) + ".html")) << "<html></html>\n";
    }
    Random random;
    for (std::size_t f = 0; f + 1 < std::size(kLetters); ++f) {
        const char16_t letter = kLetters[f];
        const bool fallback = letter == u'ь';
        std::u16string text;
        for (std::size_t i = 0; i < kLinesPerFile; ++i) {
            std::u16string line;
            if (fallback) {
                line += static_cast<char16_t>(u'0' + random.Next(10));
            } else {
                // Some questions start with the capital letter (А..Я lie 32 below а..я).
                line += random.Next(4) == 0 ? static_cast<char16_t>(letter - 32) : letter;
            }
            line += kWords[random.Next(std::size(kWords))];
            line += u' ';
            line += kWords[random.Next(std::size(kWords))];
            const std::string number = std::to_string(i);
            line += u' ';
            line += std::u16string(number.begin(), number.end());
            // About one line in a thousand gets something to report.
            if (i % 1000 == 999) line += u' ';
            if (i % 1000 != 500) line += u'|';
            if (i % 10 == 0) {
                const int page = i % 5000 == 0 ? kPages : static_cast<int>(random.Next(kPages));
                const std::string link = "/page" + std::to_string(page) + ".html";
                line += u'$' + std::u16string(link.begin(), link.end()) + u'$';
            }
            for (int w = 0; w < 5; ++w) {
                line += kWords[random.Next(std::size(kWords))];
                line += w == 4 ? u'.' : u' ';
            }
            text += line;
            text += i % 2 ? u"\r\n" : u"\n";
        }
        std::ofstream(folder / "mem" / dialogue::ToUtf8(std::u16string(1, letter)),
                      std::ios::binary)
            << Encode(text, static_cast<int>(f % 3));
    }
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder = argc > 1 ? argv[1] : "/tmp/tsldemo-check-bench";
    const std::u16string programDir = dialogue::FromUtf8(folder.string() + "/");
    if (!std::filesystem::exists(folder / "mem")) {
        std::printf("Generating %zu files of %zu lines in %s ...\n", std::size(kLetters) - 1,
                    kLinesPerFile, folder.c_str());
        Generate(folder);
    }
    std::vector<std::u16string> paths;
    for (std::size_t f = 0; f + 1 < std::size(kLetters); ++f) {
        paths.push_back(dialogue::KnowledgeFilePath(programDir, kLetters[f]));
    }
    for (const auto& path : paths) dialogue::ReadKnowledgeFile(path);  // warm the page cache
    dialogue::DefaultCollator();

    const std::string command =
        std::string(TSL_CHECKER_EXE) + " '" + folder.string() + "' >/dev/null 2>&1";
    double load = 1e300, check = 1e300, process = 1e300;
    std::size_t findings = 0, lines = 0;
    for (int round = 0; round < kRounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        for (const auto& path : paths) {
            dialogue::PhraseList myList(dialogue::DefaultCollator());
            myList.Load(path);
        }
        load = std::min(load, Seconds(std::chrono::steady_clock::now() - start));

        start = std::chrono::steady_clock::now();
        const checker::CheckResult result = checker::CheckFolder(programDir);
        std::string report;
        for (const auto& finding : result.findings) report += checker::FormatText(finding) + "\n";
        check = std::min(check, Seconds(std::chrono::steady_clock::now() - start));
        findings = result.findings.size();
        lines = result.lines;

        start = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        process = std::min(process, Seconds(std::chrono::steady_clock::now() - start));
        if (status == -1) std::printf("could not run %s\n", TSL_CHECKER_EXE);
    }
    std::printf("files: %zu, lines: %zu, findings: %zu (best of %d rounds)\n", paths.size(), lines,
                findings, kRounds);
    std::printf("program load, PhraseList::Load of each file: %.3f s\n", load);
    std::printf("check in process, CheckFolder + report:      %.3f s  ratio %.2f\n", check,
                check / load);
    std::printf("tsldemo-check as a process:                  %.3f s  ratio %.2f\n", process,
                process / load);
    return 0;
}
