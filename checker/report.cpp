#include "report.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include "errors.h"
#include "shortened_text.h"

namespace checker {

namespace {

// A line in the text report shows this much of the offending text.
constexpr std::size_t kShownUnits = 200;

// Walks text by code points, a lone surrogate half standing for U+FFFD.
template <typename Visit>
void ForEachCodePoint(std::u16string_view text, Visit visit) {
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U16_NEXT(text.data(), i, length, c);
        visit(U_IS_SURROGATE(c) ? 0xFFFD : c);
    }
}

void AppendCodePoint(std::string& out, UChar32 c) {
    char bytes[U8_MAX_LENGTH];
    int32_t length = 0;
    U8_APPEND_UNSAFE(bytes, length, c);
    out.append(bytes, static_cast<std::size_t>(length));
}

constexpr char kHex[] = "0123456789abcdef";

}  // namespace

std::string VisibleText(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    ForEachCodePoint(text, [&](UChar32 c) {
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
    ForEachCodePoint(text, [&](UChar32 c) {
        switch (c) {
        case U'"':
            out += "\\\"";
            break;
        case U'\\':
            out += "\\\\";
            break;
        case U'\b':
            out += "\\b";
            break;
        case U'\f':
            out += "\\f";
            break;
        case U'\n':
            out += "\\n";
            break;
        case U'\r':
            out += "\\r";
            break;
        case U'\t':
            out += "\\t";
            break;
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
        out += VisibleText(Shortened(finding.text, kShownUnits));
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

std::string FormatChange(const FixChange& change) {
    std::string out = VisibleText(dialogue::FromUtf8(change.file));
    if (change.line > 0) out += ':' + std::to_string(change.line);
    out += ": ";
    using Action = FixChange::Action;
    switch (change.action) {
    case Action::RemoveTemporary:
        out += "удалён временный файл, оставленный прерванным --fix";
        break;
    case Action::AddMark:
        out += "добавлена метка UTF-8";
        break;
    case Action::RemoveBlanks:
        out += "убраны пробелы перед «|»";
        break;
    case Action::Move:
        out += "перенесена в " + VisibleText(dialogue::FromUtf8(change.target)) + ':' +
               std::to_string(change.targetLine);
        if (change.alreadyThere) out += ", где такая же строка уже стоит";
        if (change.blanksRemoved) out += ", пробелы перед «|» убраны";
        break;
    case Action::Kept:
        out += "оставлена как есть: " + VisibleText(change.reason);
        break;
    case Action::FileKept:
        out += "не изменён: " + VisibleText(change.reason);
        break;
    case Action::WriteFailed:
        out += "не записан: " + VisibleText(change.reason);
        break;
    case Action::GroupChanged:
        out += "записан с группой " + VisibleText(change.reason) +
               ": прежнюю группу файлу может дать только её участник";
        break;
    }
    if (!change.text.empty()) out += ": «" + VisibleText(Shortened(change.text, kShownUnits)) + "»";
    return out;
}

std::string FormatFixSummary(const FixResult& result, bool dryRun) {
    std::string out =
        dryRun ? "Пробный запуск, файлы не изменены. Исправлений было бы: " : "Исправлений: ";
    out += std::to_string(result.made);
    out += ", оставлено как есть: " + std::to_string(result.kept) + ".";
    if (result.unwritten > 0)
        out += " Не записано исправлений: " + std::to_string(result.unwritten) + ".";
    if (!dryRun) out += " Записано файлов: " + std::to_string(result.filesWritten) + ".";
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

}  // namespace checker
