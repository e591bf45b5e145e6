#include "report.h"

#include "errors.h"

namespace checker {

namespace {

// A line in the text report shows this much of the offending text.
constexpr std::size_t kShownUnits = 200;

bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendCodePoint(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Walks text by code points, a lone surrogate half standing for U+FFFD.
template <typename Visit>
void ForEachCodePoint(std::u16string_view text, Visit visit) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (IsHigh(c) && i + 1 < text.size() && IsLow(text[i + 1])) {
            visit(0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (IsHigh(c) || IsLow(c)) {
            visit(U'\uFFFD');
        } else {
            visit(static_cast<char32_t>(c));
        }
    }
}

constexpr char kHex[] = "0123456789abcdef";

std::u16string Shortened(std::u16string_view text) {
    if (text.size() <= kShownUnits) return std::u16string(text);
    std::size_t cut = kShownUnits;
    if (IsHigh(text[cut - 1])) --cut;
    return std::u16string(text.substr(0, cut)) + u"…";
}

}  // namespace

std::string VisibleText(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    ForEachCodePoint(text, [&](char32_t c) {
        if (c == U'\t') {
            out += "\\t";
        } else if (c == U'\r') {
            out += "\\r";
        } else if (c == U'\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0xF]);
        } else {
            AppendCodePoint(out, c);
        }
    });
    return out;
}

std::string JsonString(std::u16string_view text) {
    std::string out = "\"";
    out.reserve(text.size() * 2 + 2);
    ForEachCodePoint(text, [&](char32_t c) {
        switch (c) {
            case U'"': out += "\\\""; break;
            case U'\\': out += "\\\\"; break;
            case U'\b': out += "\\b"; break;
            case U'\f': out += "\\f"; break;
            case U'\n': out += "\\n"; break;
            case U'\r': out += "\\r"; break;
            case U'\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    out += "\\u00";
                    out.push_back(kHex[c >> 4]);
                    out.push_back(kHex[c & 0xF]);
                } else {
                    AppendCodePoint(out, c);
                }
        }
    });
    out += '"';
    return out;
}

std::string JsonString(std::string_view utf8) { return JsonString(dialogue::FromUtf8(utf8)); }

std::string FormatText(const Finding& finding) {
    std::string out = VisibleText(dialogue::FromUtf8(finding.file));
    if (finding.line > 0) {
        out += ':';
        out += std::to_string(finding.line);
    }
    out += ": ";
    out += KindId(finding.kind);
    out += ": ";
    out += VisibleText(finding.message);
    if (!finding.text.empty()) {
        out += ": «";
        out += VisibleText(Shortened(finding.text));
        out += "»";
    }
    return out;
}

std::string FormatJson(const Finding& finding) {
    std::string out = "{\"file\":" + JsonString(std::string_view(finding.file));
    out += ",\"line\":" + std::to_string(finding.line);
    out += ",\"kind\":\"" + std::string(KindId(finding.kind)) + "\"";
    out += ",\"severity\":\"" + std::string(SeverityId(KindSeverity(finding.kind))) + "\"";
    out += ",\"message\":" + JsonString(finding.message);
    out += ",\"text\":" + JsonString(finding.text);
    out += "}";
    return out;
}

std::string FormatSummary(const CheckTotals& result) {
    std::string out;
    if (result.errors + result.warnings == 0) {
        out = "Замечаний нет.";
    } else {
        out = "Ошибок: " + std::to_string(result.errors) +
              ", предупреждений: " + std::to_string(result.warnings) + ".";
    }
    out += " Проверено файлов: " + std::to_string(result.files) +
           ", строк: " + std::to_string(result.lines) + ".";
    return out;
}

const char16_t* KindDescription(Kind kind) {
    switch (kind) {
        case Kind::Unreadable: return u"файл не открывается или не читается";
        case Kind::Undecodable: return u"байты файла не декодируются по его метке кодировки";
        case Kind::UnusedFile: return u"файл в mem/, который программа никогда не выбирает";
        case Kind::NoFallback: return u"нет запасного файла mem/ь";
        case Kind::AfterNul: return u"символ NUL обрывает файл: дальше строки не читаются";
        case Kind::CaseDuplicate: return u"строка равна более ранней без учёта регистра и отброшена";
        case Kind::EmptyQuestion: return u"пустой вопрос: строка начинается с «|»";
        case Kind::BlankAtBar: return u"пробел перед «|» в конце вопроса";
        case Kind::WrongFile: return u"вопрос лежит не в файле своей первой буквы";
        case Kind::FallbackHasOwnFile:
            return u"вопрос в запасном файле, хотя у его первой буквы есть свой файл";
        case Kind::Shadowed: return u"на тот же вопрос отвечает строка, что стоит в списке раньше";
        case Kind::NoBar: return u"в строке нет «|»: ответ пустой";
        case Kind::MissingPage: return u"ссылка ведёт на статью, которой нет в bio/";
    }
    return u"";
}

}  // namespace checker
