#include "checker.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <set>
#include <unordered_map>

#include <QString>

#include "article_folder.h"
#include "atomic_write.h"
#include "capital_names.h"
#include "collation.h"
#include "decoding.h"
#include "file_reading.h"
#include "page_address.h"
#include "page_text.h"
#include "distinct_lines.h"
#include "phrase_order.h"
#include "shortened_text.h"
#include "errors.h"
#include "knowledge_files.h"
#include "line_splitting.h"
#include "memory_budget.h"
#include "phrase_list.h"
#include "text.h"
#include "utf8_path.h"

namespace checker {

using namespace dialogue;

namespace {

// Lines are quoted in messages by their beginning only.
constexpr std::size_t kQuotedUnits = 60;

std::u16string Quoted(std::u16string_view text) {
    return u"«" + Shortened(text, kQuotedUnits) + u"»";
}

std::u16string Number(std::size_t n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

class FolderCheck {
public:
    FolderCheck(std::u16string_view programDir, const FindingSink& sink,
                std::optional<std::size_t> memoryLimit)
        : dir_(programDir),
          fallback_(FallbackFilePath(programDir)),
          sink_(sink),
          memoryLimit_(memoryLimit) {}

    CheckTotals Run(const ProgressFunction& progress);

private:
    // The path as the folder's own: pages come from Qt with "/", the folder may be given
    // with "\\", which Windows takes alike.
    std::u16string Relative(std::u16string_view path) const {
        const std::u16string dir = WithQtSeparators(dir_);
        const std::u16string given = WithQtSeparators(path);
        return given.substr(0, dir.size()) == dir ? given.substr(dir.size()) : std::u16string(path);
    }

    static std::u16string WithQtSeparators(std::u16string_view path) {
        std::u16string out(path);
        if constexpr (std::filesystem::path::preferred_separator == L'\\')
            std::replace(out.begin(), out.end(), u'\\', u'/');
        return out;
    }

    // A file too large for the memory left is one finding; the check goes on.
    void NoMemoryFor(const std::u16string& path) {
        pending_.clear();  // what was found in it before memory ran out has gone out already
        Add(Relative(path), 0, Kind::Unreadable, u"не хватило памяти, чтобы проверить файл целиком",
            u"");
    }

    void Add(const std::u16string& file, std::size_t line, Kind kind, std::u16string message,
             std::u16string_view text) {
        pending_.push_back(
            Finding{ToUtf8(file), line, kind, std::move(message), std::u16string(text)});
    }

    // Hands the findings of one entry of mem/ to the sink, by line.
    void Flush() {
        std::stable_sort(pending_.begin(), pending_.end(), [](const Finding& a, const Finding& b) {
            return a.line != b.line ? a.line < b.line : a.kind < b.kind;
        });
        for (const Finding& f : pending_) {
            ++(KindSeverity(f.kind) == Severity::Error ? totals_.errors : totals_.warnings);
            if (sink_) sink_(f);
        }
        pending_.clear();
    }

    // The program selects by the first unit of the key only, so one look-up per unit.
    const std::u16string& Selected(std::u16string_view question) {
        auto [it, fresh] = selected_.try_emplace(question.front());
        if (fresh) it->second = SelectKnowledgeFile(dir_, question);
        return it->second;
    }

    // What the viewer makes of a linked page, judged once per page.
    enum class PageVerdict { Shown, Missing, Unreadable, TooLarge, TooComplex };
    struct PageJudgement {
        std::u16string path;   // where the viewer looks for the page
        bool outside = false;  // of bio/, by real path
        PageVerdict verdict = PageVerdict::Shown;
        std::u16string losses;  // what a shown page goes without, when anything
    };
    const PageJudgement& JudgePage(const std::u16string& path);

    // One entry of mem/, in name order: the file to read, if the program ever reads it,
    // and what its listing alone shows.
    struct Entry {
        std::u16string path;
        std::vector<Finding> findings;
    };
    std::vector<Entry> ListKnowledgeFolder();
    void ClassifyEntry(const std::string& name, Entry& entry);
    void CheckFile(const std::u16string& path);
    // Findings about the file's encoding; returns the bytes to check the lines by, which for
    // UTF-8 without its mark are those the author meant, the mark put before them.
    void CheckEncoding(const std::u16string& file, std::string& bytes);
    // The first pass: for each held line whose question can be asked here, the held line
    // that answers that question (itself, or one before it in the list); npos for the rest.
    std::vector<std::size_t> AnsweringLines(const std::u16string& path, const OrderedFile& ordered);
    // The second: the findings of every line, in line order.
    void CheckLines(const std::u16string& path, const std::u16string& file,
                    const OrderedFile& ordered, bool withoutMark);
    void CheckLine(const std::u16string& path, const std::u16string& file, std::size_t lineNo,
                   std::u16string_view line, std::u16string_view trimmed, std::size_t d,
                   const DistinctLines& distinct, const PhraseOrder& order,
                   const std::vector<std::size_t>& answeredBy);
    // Why a question that is held can never be asked here, if it cannot; sets question
    // to the folded question.
    struct QuestionFault {
        Kind kind;
        std::u16string message;
    };
    std::optional<QuestionFault> CheckQuestion(const std::u16string& path,
                                               std::u16string_view trimmed,
                                               std::u16string& question);
    void CheckAnswer(const std::u16string& file, std::size_t line, std::u16string_view text,
                     std::u16string_view trimmed);

    std::u16string dir_;
    std::u16string fallback_;
    std::set<std::string> listed_;  // the names mem/ holds
    std::unordered_map<char16_t, std::u16string> selected_;
    std::unordered_map<std::u16string, PageJudgement> pages_;
    std::u16string question_;  // the folded question of the line being checked
    const FindingSink& sink_;
    std::optional<std::size_t> memoryLimit_;
    std::vector<Finding> pending_;
    CheckTotals totals_;
};

std::vector<FolderCheck::Entry> FolderCheck::ListKnowledgeFolder() {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator
             it(untrusted_files::PathFromUtf8(ToUtf8(KnowledgeFolder(dir_))), error),
         end;
         !error && it != end; it.increment(error)) {
        names.push_back(untrusted_files::Utf8FromPath(it->path().filename()));
    }
    if (error) {
        Add(kKnowledgeFolder, 0, Kind::Unreadable,
            u"папка не читается: " + FromUtf8(error.message()), u"");
        Flush();
    }
    listed_.insert(names.begin(), names.end());
    // The fallback file takes its place in the order even when it is missing.
    const std::string fallbackName = ToUtf8(kFallbackName);
    if (std::find(names.begin(), names.end(), fallbackName) == names.end())
        names.push_back(fallbackName);
    std::sort(names.begin(), names.end());

    std::vector<Entry> entries(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        ClassifyEntry(names[i], entries[i]);
        entries[i].findings = std::move(pending_);
        pending_.clear();
    }
    return entries;
}

void FolderCheck::ClassifyEntry(const std::string& name, Entry& entry) {
    const std::u16string unit = FromUtf8(name);
    const std::u16string shownName = std::u16string(kKnowledgeFolder) + unit;
    if (IsTemporaryName(name)) {
        const LeftTemporary left = LeftTemporaryAt(ToUtf8(KnowledgeFolder(dir_)) + name);
        if (left != LeftTemporary::None) {
            Add(shownName, 0, Kind::LeftTemporary,
                left == LeftTemporary::Ours ? u"временный файл прерванной записи tsldemo-check "
                                              u"--fix: следующий --fix его удалит"
                                            : u"временный файл прерванной записи tsldemo-check "
                                              u"--fix, но другого пользователя: "
                                              u"--fix его не удалит",
                unit);
            return;
        }
    }
    if (unit.size() != 1 || ToUtf8(unit) != name) {
        Add(shownName, 0, Kind::UnusedFile,
            u"имя файла не из одного символа: программа такой файл не выбирает", unit);
        return;
    }
    const std::u16string path = KnowledgeFilePath(dir_, unit.front());
    const bool regular = IsRegularFile(path);
    if (path == fallback_ && !regular) {
        std::u16string reason;
        try {
            ReadKnowledgeFile(fallback_);
        } catch (const DialogueError& e) {
            reason = ErrorReportText(e.Message());
        }
        Add(shownName, 0, Kind::NoFallback,
            u"нет запасного файла: на вопрос, у первой буквы которого нет своего файла, программа "
            u"покажет ошибку «" +
                reason + u"»",
            u"");
    } else if (path == fallback_) {  // NOLINT(bugprone-branch-clone): read whatever its name
        entry.path = path;
    } else if (!regular) {
        Add(shownName, 0, Kind::UnusedFile,
            u"не обычный файл (папка, канал или битая ссылка): программа его не читает", unit);
    } else if (unit.front() <= u' ') {
        Add(shownName, 0, Kind::UnusedFile,
            u"ввод обрезается, и вопрос не может начинаться с такого символа: файл не выбирается",
            unit);
    } else if (const auto small = SmallLetterPathOf(dir_, unit.front(), listed_)) {
        // The program's file for the small letter; the fallback is read under its own name.
        if (*small != fallback_) entry.path = *small;
    } else if (LowerCase(unit) != unit) {
        Add(shownName, 0, Kind::UnusedFile,
            std::u16string(u"ввод переводится в строчные буквы: программа ищет файл ") +
                kKnowledgeFolder + LowerCase(unit) + u", а не этот",
            unit);
    } else {
        entry.path = path;
    }
}

void FolderCheck::CheckFile(const std::u16string& path) {
    const std::u16string file = Relative(path);
    const auto fail = [&](Kind kind, std::u16string_view message) {
        Add(file, 0, kind,
            u"программа не сможет прочесть файл и покажет ошибку «" + ErrorReportText(message) +
                u"»",
            u"");
    };
    std::string bytes;
    try {
        bytes = ReadKnowledgeFile(path);
    } catch (const DialogueError& e) {
        fail(Kind::Unreadable, e.Message());
        return;
    }
    CheckEncoding(file, bytes);
    const bool windows1251 = DetectEncoding(bytes).encoding == TextEncoding::Windows1251;
    std::optional<OrderedFile> ordered;
    try {
        ordered.emplace(bytes, DefaultCollator(), memoryLimit_ ? *memoryLimit_ : AvailableMemory());
    } catch (const DecodeError& e) {
        fail(Kind::Undecodable, e.Message());
        return;
    }
    bytes = std::string();
    ++totals_.files;
    totals_.lines += ordered->Distinct().FileLineCount();
    CheckLines(path, file, *ordered, windows1251);
}

void FolderCheck::CheckEncoding(const std::u16string& file, std::string& bytes) {
    const EncodingMark mark = DetectEncoding(bytes);
    const std::size_t body = bytes.size() - mark.markLength;
    if ((mark.encoding == TextEncoding::Utf16LE || mark.encoding == TextEncoding::Utf16BE) &&
        body % 2 == 1 && body > 1) {
        Add(file, 0, Kind::Utf16OddByte,
            u"после метки UTF-16 нечётное число байтов: последний байт программа отбрасывает молча",
            u"");
    }
    if (mark.encoding != TextEncoding::Windows1251) return;
    const bool ascii =
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
    if (ascii) return;
    const std::optional<std::u16string> meant = DecodeUtf8Text(bytes);
    if (!meant) return;
    // Show the first line that reads differently, both as the program sees it and as meant.
    std::u16string meantLine;
    std::size_t lineNo = 0, shownNo = 0;
    ForEachLine(*meant, [&](std::u16string_view line) {
        ++lineNo;
        if (shownNo == 0 &&
            std::any_of(line.begin(), line.end(), [](char16_t c) { return c >= 0x80; })) {
            shownNo = lineNo;
            meantLine = line;
        }
    });
    std::u16string seenLine;
    lineNo = 0;
    ForEachLine(DecodeKnowledgeText(bytes), [&](std::u16string_view line) {
        if (++lineNo == shownNo) seenLine = line;
    });
    Add(file, 0, Kind::Utf8WithoutMark,
        u"файл записан в UTF-8 без метки, а программа читает такой файл как Windows-1251: строку " +
            Number(shownNo) + u" она видит как " + Quoted(seenLine) +
            u", и ни один вопрос с буквами кроме латинских не отвечает так, как написан. Строки "
            u"проверены "
            u"так, как задуманы; метку UTF-8 добавит tsldemo-check --fix",
        meantLine);
    bytes.insert(0, EncodingMarkBytes(TextEncoding::Utf8));
}

std::optional<FolderCheck::QuestionFault> FolderCheck::CheckQuestion(const std::u16string& path,
                                                                     std::u16string_view trimmed,
                                                                     std::u16string& question) {
    // Lower-casing keeps the length and never makes a "|", so this is the folded question.
    question.clear();
    AppendLowerCase(GetLeft(trimmed),
                    question);  // into the caller's buffer: no allocation per line
    if (question.empty()) {
        return QuestionFault{
            Kind::EmptyQuestion,
            u"пустой вопрос: ввод не бывает пустым, и эта строка никогда не отвечает"};
    }
    if (question.back() <= u' ') {
        return QuestionFault{Kind::BlankAtBar,
                             u"вопрос кончается пробельным символом перед «|»: ввод обрезается, и "
                             u"такой вопрос задать нельзя"};
    }
    const std::u16string& selected = Selected(question);
    if (selected == path) return std::nullopt;
    const std::u16string first(1, question.front());
    if (path == fallback_) {
        return QuestionFault{Kind::FallbackHasOwnFile,
                             u"у «" + first + u"» есть свой файл " + Relative(selected) +
                                 u": в запасном файле программа этот вопрос не ищет"};
    }
    return QuestionFault{Kind::WrongFile, u"вопрос на «" + first + u"» программа ищет в файле " +
                                              Relative(selected) + u", а не здесь"};
}

std::vector<std::size_t> FolderCheck::AnsweringLines(const std::u16string& path,
                                                     const OrderedFile& ordered) {
    // Of the held lines with one question, the one that comes first in the list answers.
    std::unordered_map<std::u16string, std::size_t> answering;
    std::vector<std::size_t> answeredBy(ordered.Lines().size(), DistinctLines::npos);
    std::u16string question;
    const ScratchVector<std::size_t>& held = ordered.Order().held;
    const std::span<const std::u16string_view> lines = ordered.Lines();
    // List order visits the lines all over memory: each is asked for well before it is needed.
    constexpr std::size_t kViewAhead = 32;
    constexpr std::size_t kTextAhead = 16;
    for (std::size_t k = 0; k < held.size(); ++k) {
        if (k + kViewAhead < held.size()) __builtin_prefetch(&lines[held[k + kViewAhead]]);
        if (k + kTextAhead < held.size()) __builtin_prefetch(lines[held[k + kTextAhead]].data());
        const std::size_t d = held[k];
        const std::u16string_view trimmed = TrimView(lines[d]);
        if (trimmed.empty() || CheckQuestion(path, trimmed, question)) continue;
        // held is in list order: the first one wins
        answeredBy[d] = answering.try_emplace(question, d).first->second;
    }
    return answeredBy;
}

void FolderCheck::CheckLines(const std::u16string& path, const std::u16string& file,
                             const OrderedFile& ordered, bool windows1251) {
    const std::vector<std::size_t> answeredBy = AnsweringLines(path, ordered);
    // Exact repeats are kept out of the order as the program keeps them out; each one is
    // a case-duplicate of the first line it repeats.
    const DistinctLines& distinct = ordered.Distinct();
    const PhraseOrder& order = ordered.Order();

    // The findings go out line by line, so that memory does not grow with them.
    const NulStop& stop = distinct.Stop();
    const auto afterNul = [&](std::size_t lineNo, std::u16string_view text) {
        if (stop.nulLine == lineNo && stop.textAfterNul) {
            Add(file, lineNo, Kind::AfterNul,
                u"символ NUL обрывает текст: всё, что стоит после него, программа не читает", text);
        }
    };
    std::size_t lineNo = 0;
    std::u16string_view previous;
    std::size_t d = DistinctLines::npos;
    // The distinct lines stand in the order of their first lines: only a repeat is looked up.
    std::size_t nextDistinct = 0;
    ForEachLine(ordered.Text(), [&](std::u16string_view line) {
        ++lineNo;
        if (nextDistinct < distinct.Lines().size() &&
            distinct.FirstFileLine(nextDistinct) + 1 == lineNo) {
            d = nextDistinct++;
        } else if (d == DistinctLines::npos || line != previous) {
            d = distinct.IndexOf(line);
        }
        previous = line;
        afterNul(lineNo, line);
        // The one byte that Windows-1251 leaves undefined decodes to this control character.
        if (windows1251 && line.find(u'\u0098') != std::u16string_view::npos) {
            Add(file, lineNo, Kind::UndefinedByte,
                u"байт 0x98 не определён в Windows-1251: программа покажет вместо него невидимый "
                u"управляющий символ; файл, видимо, не в этой кодировке",
                line);
        }
        const std::u16string_view trimmed = TrimView(line);
        if (!trimmed.empty())
            CheckLine(path, file, lineNo, line, trimmed, d, distinct, order, answeredBy);
        Flush();
    });
    afterNul(lineNo + 1, u"");
    Flush();
}

void FolderCheck::CheckLine(const std::u16string& path, const std::u16string& file,
                            std::size_t lineNo, std::u16string_view line,
                            std::u16string_view trimmed, std::size_t d,
                            const DistinctLines& distinct, const PhraseOrder& order,
                            const std::vector<std::size_t>& answeredBy) {
    CheckAnswer(file, lineNo, line, trimmed);
    const std::size_t winner = order.heldFor[d];
    const std::size_t winnerLine = distinct.FirstFileLine(winner);
    if (winnerLine + 1 != lineNo) {
        Add(file, lineNo, Kind::CaseDuplicate,
            u"строка отброшена: без учёта регистра она совпадает со строкой " +
                Number(winnerLine + 1) + u" " + Quoted(distinct.Lines()[winner]),
            line);
        return;
    }
    std::u16string& question = question_;
    if (auto fault = CheckQuestion(path, trimmed, question)) {
        Add(file, lineNo, fault->kind, std::move(fault->message), line);
        return;
    }
    const std::size_t answers = answeredBy[d];
    if (answers == d) return;
    Add(file, lineNo, Kind::Shadowed,
        u"на этот вопрос отвечает строка " + Number(distinct.FirstFileLine(answers) + 1) + u" " +
            Quoted(distinct.Lines()[answers]) + u": она стоит в списке раньше",
        line);
}

void FolderCheck::CheckAnswer(const std::u16string& file, std::size_t line,
                              std::u16string_view text, std::u16string_view trimmed) {
    const std::size_t bar = trimmed.find(u'|');
    if (bar == std::u16string_view::npos) {
        Add(file, line, Kind::NoBar, u"в строке нет «|»: ответ на этот вопрос будет пустым", text);
        return;
    }
    const std::u16string_view answer = trimmed.substr(bar + 1);
    if (answer.empty() || answer.front() != u'$') return;
    const LinkedAnswer cut = SplitLink(answer);
    if (cut.link.empty()) return;
    const PageJudgement& page = JudgePage(ArticlePath(dir_, cut.link));
    const std::u16string shown = Relative(page.path);
    if (page.outside) {
        // Pages named by knowledge files are shown wherever they lie; say what the user gets.
        const std::u16string_view outcome =
            page.verdict == PageVerdict::Shown
                ? u"просмотр покажет этот файл, хотя статьи должны лежать в bio/"
            : page.verdict == PageVerdict::Missing
                ? u"а такого файла нет"
                : u"просмотр покажет вместо него сообщение об ошибке";
        Add(file, line, Kind::LinkOutsideBio,
            u"ссылка " + Quoted(cut.link) + u" ведёт на " + shown +
                u", за пределы папки статей bio/: " + std::u16string(outcome),
            text);
        return;
    }
    switch (page.verdict) {
    case PageVerdict::Shown:
        if (!page.losses.empty()) {
            Add(file, line, Kind::PageLosesMarkup,
                u"статья " + shown + u" будет показана без части разметки: " + page.losses, text);
        }
        break;
    case PageVerdict::Missing:
        Add(file, line, Kind::MissingPage,
            u"ссылка " + Quoted(cut.link) + u" ведёт на статью " + shown + u", а такого файла нет",
            text);
        break;
    case PageVerdict::Unreadable:
        Add(file, line, Kind::UnreadablePage,
            u"статья " + shown +
                u" есть, но не читается: просмотр покажет вместо неё сообщение об ошибке",
            text);
        break;
    case PageVerdict::TooLarge:
        Add(file, line, Kind::RefusedPage,
            u"статья " + shown + u" больше " + Number(article::kMaxPageBytes / (1024 * 1024)) +
                u" МБ: просмотр её не покажет",
            text);
        break;
    case PageVerdict::TooComplex:
        Add(file, line, Kind::RefusedPage,
            u"разметка статьи " + shown +
                u" слишком сложна (вложена слишком глубоко или слишком велика): "
                u"просмотр её не покажет",
            text);
        break;
    }
}

namespace {

// What a shown page goes without, in a few words; empty when nothing.
std::u16string Losses(const article::PageShape& shape) {
    QStringList parts;
    if (!shape.elementsLeftOut.isEmpty()) {
        parts.append(u"элементы <"_qs + shape.elementsLeftOut.join(u">, <"_qs) + u'>');
    }
    if (shape.selectorsLeftOut > 0) {
        parts.append(u"сложные селекторы и @-правила стилей ("_qs +
                     QString::number(shape.selectorsLeftOut) + u')');
    }
    if (!shape.propertiesLeftOut.isEmpty())
        parts.append(u"свойства стилей "_qs + shape.propertiesLeftOut.join(u", "_qs));
    if (shape.imagesLeftOut > 0)
        parts.append(u"изображения сверх "_qs + QString::number(article::kMaxImages));
    return parts.join(u"; "_qs).toStdU16String();
}

}  // namespace

const FolderCheck::PageJudgement& FolderCheck::JudgePage(const std::u16string& linked) {
    const auto known = pages_.find(linked);
    if (known != pages_.end()) return known->second;
    // The viewer cleans the path as written: "bio../x" is "x" beside bio/, whether or not a
    // folder "bio.." exists.
    const QString page = article::PageAddress(QString::fromStdU16String(linked)).toLocalFile();
    PageJudgement judged;
    judged.path = page.toStdU16String();
    judged.outside =
        article::ArticleFolder(QString::fromStdU16String(ArticleRoot(dir_))).Inside(page).isEmpty();
    if (!IsRegularFile(judged.path)) {
        judged.verdict = PageVerdict::Missing;
    } else {
        // Read, decoded and prepared as the viewer does before it shows a page.
        const article::FileRead read = article::ReadRegularFile(page, article::kMaxPageBytes);
        if (read.status == article::FileStatus::TooLarge) {
            judged.verdict = PageVerdict::TooLarge;
        } else if (read.status != article::FileStatus::Read) {
            judged.verdict = PageVerdict::Unreadable;
        } else {
            QString html = article::DecodePage(read.bytes).text;
            const article::PageShape shape = article::PreparePage(html);
            if (shape.TooComplex()) {
                judged.verdict = PageVerdict::TooComplex;
            } else {
                judged.losses = Losses(shape);
            }
        }
    }
    return pages_.emplace(linked, std::move(judged)).first->second;
}

CheckTotals FolderCheck::Run(const ProgressFunction& progress) {
    std::vector<Entry> entries = ListKnowledgeFolder();
    std::size_t total = 0;
    for (const Entry& entry : entries) total += entry.path.empty() ? 0 : 1;

    std::size_t done = 0;
    for (Entry& entry : entries) {
        pending_ = std::move(entry.findings);
        if (!entry.path.empty()) {
            try {
                CheckFile(entry.path);
            } catch (const OutOfMemoryError&) {
                NoMemoryFor(entry.path);
            } catch (const std::bad_alloc&) {
                NoMemoryFor(entry.path);
            }
        }
        Flush();
        if (!entry.path.empty() && progress) progress(++done, total);
    }
    return totals_;
}

}  // namespace

CheckTotals CheckFolder(std::u16string_view programDir, const FindingSink& sink,
                        const ProgressFunction& progress, std::optional<std::size_t> memoryLimit) {
    return FolderCheck(programDir, sink, memoryLimit).Run(progress);
}

CheckResult CheckFolder(std::u16string_view programDir, const ProgressFunction& progress,
                        std::optional<std::size_t> memoryLimit) {
    CheckResult result;
    const FindingSink keep = [&](const Finding& f) { result.findings.push_back(f); };
    static_cast<CheckTotals&>(result) = CheckFolder(programDir, keep, progress, memoryLimit);
    return result;
}

}  // namespace checker
