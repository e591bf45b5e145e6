// Hostile knowledge files through the real main window (offscreen): each case types the
// file's letter into Edit1 and then asks it with InBtnClick, in a process of its own, and
// reports the time, the peak memory beyond the started window, and what the user saw.
// The reference is reading the file's bytes in the same process.
//
//   hostile_knowledge [FOLDER]   generates the cases under FOLDER (a temporary folder by
//                                default, removed afterwards) and prints one row per case.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "Unit1.h"
#include "errors.h"
#include "knowledge_files.h"
#include "message_box.h"
#include "suggestion_model.h"

namespace fs = std::filesystem;

namespace {

struct Case {
    const char* name;
    const char* letter;        // UTF-8; also the file's name in mem/
    std::size_t addressLimit;  // RLIMIT_AS for the run, 0 for none
    void (*write)(std::ofstream&);
};

void Repeat(std::ofstream& out, const std::string& piece, std::size_t times) {
    std::string block;
    while (block.size() < (1u << 20)) block += piece;
    const std::size_t perBlock = block.size() / piece.size();
    for (std::size_t done = 0; done < times;) {
        const std::size_t n = std::min(perBlock, times - done);
        out.write(block.data(), static_cast<std::streamsize>(n * piece.size()));
        done += n;
    }
}

const Case kCases[] = {
    {"one line of 90,000,000 U+FDFA, UTF-16 (180 MB)", "\xEF\xB7\xBA", 0,
     [](std::ofstream& out) {
         out.write("\xFF\xFE", 2);
         Repeat(out, "\xFA\xFD", 90'000'000);
     }},
    {"50 MB of line breaks", "\xD0\xBD", 0,
     [](std::ofstream& out) { Repeat(out, "\n", 50'000'000); }},
    {"10 MB of one-letter lines", "a", 0,
     [](std::ofstream& out) { Repeat(out, "a\n", 5'000'000); }},
    {"500 MB of line breaks", "\xD0\xBE", 0,
     [](std::ofstream& out) { Repeat(out, "\r\n", 250'000'000); }},
    {"500 MB of line breaks, address space limited to 1.5 GiB", "\xD0\xBE", std::size_t{3} << 29,
     [](std::ofstream& out) { Repeat(out, "\r\n", 250'000'000); }},
    {"20 MB of distinct lines", "1", 0,
     [](std::ofstream& out) {
         for (int i = 0; i < 2'000'000; ++i) out << (10'000'000 + i) << "|x\n";
     }},
};

std::size_t PeakKiB() {
    std::ifstream status("/proc/self/status");
    std::string name;
    while (status >> name) {
        if (name == "VmHWM:") {
            std::size_t kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(1 << 20, '\n');
    }
    return 0;
}

double Milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// In the child: the window over folder, the letter typed and then asked.
int RunCase(int argc, char** argv, const std::string& folder, const std::string& letter,
            std::size_t limit) {
    if (limit != 0) {
        const rlimit as{limit, limit};
        setrlimit(RLIMIT_AS, &as);
    }
    QApplication app(argc, argv);
    const std::u16string programDir = dialogue::FromUtf8(folder + "/");
    windows::TForm1 form(programDir);
    form.show();
    QApplication::processEvents();

    const auto readStart = std::chrono::steady_clock::now();
    std::size_t bytes = 0;
    try {
        bytes = dialogue::ReadKnowledgeFile(dialogue::FromUtf8(folder + "/mem/" + letter)).size();
    } catch (const dialogue::DialogueError&) {
    }
    const double readMs = Milliseconds(std::chrono::steady_clock::now() - readStart);
    const std::size_t startPeak = PeakKiB();

    // The error report is answered at once through the boxes' test hook; its text is noted.
    windows::MessageBox::AnswerEvery(true);

    const auto typeStart = std::chrono::steady_clock::now();
    form.Edit1->setText(QString::fromStdString(letter));
    QApplication::processEvents();
    const double typeMs = Milliseconds(std::chrono::steady_clock::now() - typeStart);
    const int listed = form.Suggestions().Count();

    const auto askStart = std::chrono::steady_clock::now();
    form.InBtnClick();
    QApplication::processEvents();
    const double askMs = Milliseconds(std::chrono::steady_clock::now() - askStart);

    QString report;
    for (const auto& box : windows::MessageBox::TakeShown()) report = box.text;
    const QString transcript =
        form.Memo1->toPlainText().left(60).replace(QStringLiteral("\n"), QStringLiteral(" / "));
    std::printf("%zu\t%.1f\t%.1f\t%.1f\t%zu\t%d\t%s\n", bytes, readMs, typeMs, askMs,
                (PeakKiB() - std::min(PeakKiB(), startPeak)) / 1024, listed,
                qPrintable(report.isEmpty() ? QStringLiteral("transcript: ") + transcript
                                            : QStringLiteral("error report: ") + report.left(120)));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 5 && std::string(argv[1]) == "--run") {
        return RunCase(1, argv, argv[2], argv[3], std::strtoull(argv[4], nullptr, 10));
    }
    const bool ownFolder = argc < 2;
    const fs::path root =
        ownFolder ? fs::temp_directory_path() / ("tsl-hostile-" + std::to_string(::getpid()))
                  : fs::path(argv[1]);
    std::printf("case\tbytes\tread ms\ttype ms\task ms\tpeak MiB\tlisted\toutcome\ttype/read\n");
    for (const Case& c : kCases) {
        const fs::path folder = root / "case";
        fs::remove_all(folder);
        fs::create_directories(folder / "mem");
        std::ofstream(folder / "mem" / "\xD1\x8C") << "x|y\n";
        {
            std::ofstream out(folder / "mem" / c.letter, std::ios::binary);
            c.write(out);
        }
        const std::string command =
            std::string("\"") + fs::read_symlink("/proc/self/exe").string() + "\" --run \"" +
            folder.string() + "\" " + c.letter + " " + std::to_string(c.addressLimit);
        std::FILE* child = ::popen(command.c_str(), "r");
        char line[4096] = {};
        const bool got = child != nullptr && std::fgets(line, sizeof line, child) != nullptr;
        const int status = child != nullptr ? ::pclose(child) : -1;
        std::string row = got ? std::string(line) : std::string("-\t-\t-\t-\t-\t-\tno output\n");
        if (!row.empty() && row.back() == '\n') row.pop_back();
        double read = 0, type = 0;
        std::sscanf(row.c_str(), "%*s %lf %lf", &read, &type);
        std::printf("%s\t%s\t%s%.1f\n", c.name, row.c_str(),
                    WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "" : "CRASHED ",
                    read > 0 ? type / read : 0.0);
        std::fflush(stdout);
    }
    fs::remove_all(ownFolder ? root : root / "case");
    return 0;
}
