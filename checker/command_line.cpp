#include "command_line.h"

#include <chrono>
#include <filesystem>


#include "checker.h"
#include "errors.h"
#include "fixer.h"
#include "knowledge_files.h"
#include "own_executable.h"
#include "report.h"
#include "utf8_path.h"

namespace checker {

namespace {

constexpr char kProgram[] = "tsldemo-check";

int UsageError(std::ostream& err, const std::string& message) {
    err << kProgram << ": " << message << "\nПодробнее: " << kProgram << " --help\n";
    return kExitUsage;
}

bool IsDirectory(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(untrusted_files::PathFromUtf8(path), error);
}

// Shows "Проверено файлов: k из n" once the run has lasted a second.
class Progress {
public:
    Progress(std::ostream& err, bool terminal)
        : err_(err), terminal_(terminal), start_(std::chrono::steady_clock::now()) {}

    void operator()(std::size_t done, std::size_t total) {
        const auto now = std::chrono::steady_clock::now();
        if (now - start_ < std::chrono::seconds(1)) return;
        const std::string text =
            "Проверено файлов: " + std::to_string(done) + " из " + std::to_string(total);
        if (terminal_) {
            err_ << "\r" << text << "\x1b[K" << std::flush;
            shown_ = visible_ = true;
        } else if (!shown_ || now - last_ >= std::chrono::seconds(1) || done == total) {
            err_ << text << "\n" << std::flush;
            shown_ = true;
            last_ = now;
        }
    }

    // Clears the line drawn in place before other output may land on the same terminal.
    void Erase() {
        if (visible_) err_ << "\r\x1b[K" << std::flush;
        visible_ = false;
    }

    ~Progress() { Erase(); }

private:
    std::ostream& err_;
    bool terminal_;
    bool shown_ = false;
    bool visible_ = false;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point last_;
};

}  // namespace

std::string HelpText() {
    std::string text =
        "Использование: tsldemo-check [--json] [--fix [--dry-run]] [ПАПКА]\n"
        "\n"
        "Проверяет базу знаний «Целитора» — файлы ПАПКА/mem и статьи ПАПКА/bio — так же,\n"
        "как её читает сама программа, и находит строки, на которые программа никогда\n"
        "не ответит или ответит не так, как задумано. Без ПАПКИ проверяется папка, где\n"
        "лежит сама tsldemo-check, то есть папка установленной программы.\n"
        "\n"
        "Каждое замечание выводится одной строкой\n"
        "  файл:строка: вид: сообщение: «текст строки»\n"
        "по порядку файлов и строк; у замечаний о файле целиком номера строки нет.\n"
        "Строки нумеруются так, как их делит программа. В конце выводится итог.\n"
        "\n"
        "Параметры:\n"
        "  --json      выводить замечания в формате JSON Lines: по объекту на строку с\n"
        "              полями file, line (0 — файл целиком), kind, severity (\"error\"\n"
        "              или \"warning\"), message, text; итог тогда пишется в поток ошибок\n"
        "  --fix       исправить механические ошибки, отмеченные ниже «(--fix)», и\n"
        "              затем проверить то, что получилось: добавить метку UTF-8 файлу\n"
        "              в UTF-8 без метки; убрать пробелы перед «|»; перенести строку\n"
        "              в конец файла, где программа ищет её вопрос (запасной файл\n"
        "              создаётся в кодировке файла, откуда строка пришла). Правка,\n"
        "              которая изменила бы ответ программы на какой-нибудь вопрос,\n"
        "              не делается; строка, которую нельзя записать в кодировке\n"
        "              нужного файла, остаётся на месте. Символические ссылки,\n"
        "              особые файлы и файлы с несколькими именами не изменяются.\n"
        "              Каждое изменение выводится строкой; файл записывается целиком\n"
        "              через временный файл в той же папке, права сохраняются.\n"
        "              Повторный --fix ничего не меняет\n"
        "  --dry-run   вместе с --fix: только показать изменения, ничего не записывая\n"
        "  -h, --help  показать эту справку и выйти\n"
        "  --          дальше только ПАПКА (для имён, которые начинаются с «-»)\n"
        "\n";
    for (const Severity severity : {Severity::Error, Severity::Warning}) {
        text += severity == Severity::Error
                    ? "Ошибки (на вопрос никогда не будет ответа, или файл не читается):\n"
                    : "Предупреждения (ответ будет, но не такой, как задуман, или файл лишний):\n";
        for (const Kind kind : kAllKinds) {
            if (KindSeverity(kind) != severity) continue;
            std::string id = KindId(kind);
            id.resize(23, ' ');
            text += "  " + id + dialogue::ToUtf8(KindDescription(kind)) +
                    (KindFixable(kind) ? " (--fix)" : "") + "\n";
        }
    }
    text +=
        "\n"
        "Ход проверки, если она идёт дольше секунды, показывается в потоке ошибок.\n"
        "\n"
        "Файл, для проверки которого не хватает памяти, даёт замечание unreadable,\n"
        "и проверка идёт дальше.\n"
        "\n"
        "Код завершения:\n"
        "  0  ошибок нет (предупреждения возможны)\n"
        "  1  найдены ошибки\n"
        "  2  неверный вызов: неизвестный параметр, --dry-run без --fix, больше\n"
        "     одной папки, нет папки или в ней нет папки mem\n"
        "  3  проверка прервана (например, не удалось вывести отчёт) или --fix\n"
        "     не смог записать файл\n"
        "С --fix коды 0 и 1 говорят о том, что осталось после исправлений (с --dry-run —\n"
        "о папке, как она есть).\n";
    return text;
}

std::string OwnExecutableFolder() { return untrusted_files::OwnExecutableFolder(); }

int RunChecker(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const RunEnvironment& environment) {
    bool json = false;
    bool fix = false;
    bool dryRun = false;
    bool optionsEnded = false;
    std::vector<std::string> folders;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            out << HelpText();
            return kExitClean;
        } else if (!optionsEnded && arg == "--json") {
            json = true;
        } else if (!optionsEnded && arg == "--fix") {
            fix = true;
        } else if (!optionsEnded && arg == "--dry-run") {
            dryRun = true;
        } else if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
            return UsageError(err, "неизвестный параметр «" + arg + "»");
        } else {
            folders.push_back(arg);
        }
    }
    if (folders.size() > 1) return UsageError(err, "можно указать только одну папку");
    if (dryRun && !fix) return UsageError(err, "--dry-run действует только вместе с --fix");

    std::string folder = folders.empty() ? environment.ownFolder : folders.front();
    if (folder.empty()) {
        return UsageError(
            err, folders.empty() ? "не удалось определить папку программы" : "пустое имя папки");
    }
    if (folder.back() != '/') folder += '/';
    const std::u16string programDir = dialogue::FromUtf8(folder);
    if (!IsDirectory(folder)) return UsageError(err, "папка «" + folder + "» не найдена");
    if (!IsDirectory(dialogue::ToUtf8(dialogue::KnowledgeFolder(programDir)))) {
        return UsageError(err, "в папке «" + folder + "» нет папки mem с файлами базы знаний");
    }

    bool fixFailed = false;
    if (fix) {
        // The repairs are listed before the check of what they leave; beside JSON Lines
        // they go to the error stream, as the summary does. They are listed before anything
        // is written, and nothing is when the list cannot be: the user would not learn what
        // changed.
        std::ostream& listing = json ? err : out;
        std::size_t listed = 0;
        FixOptions options;
        options.dryRun = dryRun;
        options.beforeWriting = [&](const FixResult& planned) {
            for (const FixChange& change : planned.changes) listing << FormatChange(change) << "\n";
            listed = planned.changes.size();
            return static_cast<bool>(listing.flush());
        };
        const FixResult fixed = FixFolder(programDir, options);
        if (!listing) {
            err << kProgram
                << ": проверка прервана: не удалось вывести отчёт, исправления не записаны\n";
            return kExitFailed;
        }
        for (std::size_t i = listed; i < fixed.changes.size(); ++i)
            listing << FormatChange(fixed.changes[i]) << "\n";
        listing << FormatFixSummary(fixed, dryRun) << "\n" << std::flush;
        fixFailed = fixed.writeFailed;
    }

    std::string text;
    Progress progress(err, environment.stderrIsTerminal);
    const auto write = [&] {
        progress.Erase();
        out << text << std::flush;
        text.clear();
    };
    const FindingSink sink = [&](const Finding& finding) {
        text += json ? FormatJson(finding) : FormatText(finding);
        text += '\n';
        if (text.size() >= (std::size_t{1} << 16)) write();
    };
    const CheckTotals result = CheckFolder(programDir, sink, std::ref(progress));
    write();
    (json ? err : out) << FormatSummary(result) << "\n";
    out.flush();
    if (!out) {
        err << kProgram << ": проверка прервана: не удалось вывести отчёт\n";
        return kExitFailed;
    }
    if (fixFailed) {
        err << kProgram << ": исправления записаны не все: см. строки «не записан»\n";
        return kExitFailed;
    }
    return result.errors > 0 ? kExitErrors : kExitClean;
}

}  // namespace checker
