#pragma once
// The kinds of finding: each with its id in reports, its severity and what it means.
#include <array>
#include <cstddef>

namespace checker {

enum class Severity { Error, Warning };

enum class Kind {
    Unreadable,          // the file cannot be opened or read
    Undecodable,         // the file's bytes do not decode in the encoding its mark names
    Utf8WithoutMark,     // UTF-8 text without its mark: read as Windows-1251, garbled
    Utf16OddByte,        // a UTF-16 file whose last byte has no pair and is lost
    UnusedFile,          // a file in mem/ that no input ever selects
    LeftTemporary,       // a temporary file of --fix that an interrupted run left in mem/
    NoFallback,          // the fallback file is missing or not a regular file
    AfterNul,            // a NUL ends the text; what follows is never read
    UndefinedByte,       // a byte that Windows-1251 leaves undefined, in a file without a mark
    CaseDuplicate,       // dropped from the list: equal to an earlier line ignoring case
    EmptyQuestion,       // nothing before "|"
    BlankAtBar,          // the question ends in a blank; the trimmed key never has one
    WrongFile,           // the question selects another file
    FallbackHasOwnFile,  // a fallback line whose first character has a file of its own
    Shadowed,            // another line with the same question comes first in the list
    NoBar,               // no "|": the answer is empty
    MissingPage,         // the linked article page does not exist
    LinkOutsideBio,      // the link leads out of bio/
    UnreadablePage,      // the linked page exists but cannot be read
    RefusedPage,         // the viewer refuses the linked page as too large or too complex
    PageLosesMarkup,     // the viewer shows the linked page without some of its markup
};

struct KindInfo {
    Kind kind;
    const char* id;  // stable ASCII, e.g. "case-duplicate"
    Severity severity;
    const char16_t* description;  // one line in Russian, for the help text
    bool fixable = false;         // repaired by --fix where that keeps every answer
};

// In the order of Kind; findings of one line are reported in this order too.
inline constexpr KindInfo kKinds[] = {
    {Kind::Unreadable, "unreadable", Severity::Error, u"файл не открывается или не читается"},
    {Kind::Undecodable, "undecodable", Severity::Error,
     u"байты файла не декодируются по его метке кодировки"},
    {Kind::Utf8WithoutMark, "utf8-without-mark", Severity::Error,
     u"файл в UTF-8 без метки: программа читает его как Windows-1251", true},
    {Kind::Utf16OddByte, "utf16-odd-byte", Severity::Warning,
     u"в файле UTF-16 нечётное число байтов: последний байт теряется"},
    {Kind::UnusedFile, "unused-file", Severity::Warning,
     u"файл в mem/, который программа никогда не выбирает"},
    {Kind::LeftTemporary, "left-temporary", Severity::Warning,
     u"временный файл, оставленный прерванным tsldemo-check --fix", true},
    {Kind::NoFallback, "no-fallback", Severity::Warning, u"нет запасного файла mem/ь"},
    {Kind::AfterNul, "after-nul", Severity::Error,
     u"символ NUL обрывает файл: дальше строки не читаются"},
    {Kind::UndefinedByte, "undefined-byte", Severity::Warning,
     u"в файле без метки байт, которого нет в Windows-1251"},
    {Kind::CaseDuplicate, "case-duplicate", Severity::Error,
     u"строка равна более ранней без учёта регистра и отброшена"},
    {Kind::EmptyQuestion, "empty-question", Severity::Error,
     u"пустой вопрос: строка начинается с «|»"},
    {Kind::BlankAtBar, "blank-at-bar", Severity::Error, u"пробел перед «|» в конце вопроса", true},
    {Kind::WrongFile, "wrong-file", Severity::Error, u"вопрос лежит не в файле своей первой буквы",
     true},
    {Kind::FallbackHasOwnFile, "fallback-has-own-file", Severity::Error,
     u"вопрос в запасном файле, хотя у его первой буквы есть свой файл", true},
    {Kind::Shadowed, "shadowed", Severity::Error,
     u"на тот же вопрос отвечает строка, что стоит в списке раньше"},
    {Kind::NoBar, "no-bar", Severity::Warning, u"в строке нет «|»: ответ пустой"},
    {Kind::MissingPage, "missing-page", Severity::Warning,
     u"ссылка ведёт на статью, которой нет в bio/"},
    {Kind::LinkOutsideBio, "link-outside-bio", Severity::Warning,
     u"ссылка ведёт за пределы папки bio/"},
    {Kind::UnreadablePage, "unreadable-page", Severity::Warning,
     u"статья по ссылке есть, но не читается"},
    {Kind::RefusedPage, "refused-page", Severity::Warning,
     u"просмотр не покажет статью по ссылке: она слишком велика или сложна"},
    {Kind::PageLosesMarkup, "page-loses-markup", Severity::Warning,
     u"просмотр покажет статью по ссылке без части разметки или стилей"},
};

constexpr const KindInfo& InfoOf(Kind kind) { return kKinds[static_cast<std::size_t>(kind)]; }

inline constexpr auto kAllKinds = [] {
    std::array<Kind, std::size(kKinds)> kinds{};
    for (std::size_t i = 0; i < kinds.size(); ++i) kinds[i] = kKinds[i].kind;
    return kinds;
}();

constexpr bool TableFollowsTheEnum() {
    for (std::size_t i = 0; i < std::size(kKinds); ++i) {
        if (static_cast<std::size_t>(kKinds[i].kind) != i) return false;
    }
    return true;
}
static_assert(TableFollowsTheEnum(), "kKinds must list the kinds in the order of Kind");

constexpr const char* KindId(Kind kind) { return InfoOf(kind).id; }
constexpr Severity KindSeverity(Kind kind) { return InfoOf(kind).severity; }
constexpr const char16_t* KindDescription(Kind kind) { return InfoOf(kind).description; }
constexpr bool KindFixable(Kind kind) { return InfoOf(kind).fixable; }
constexpr const char* SeverityId(Severity severity) {
    return severity == Severity::Error ? "error" : "warning";
}

}  // namespace checker
