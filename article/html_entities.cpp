#include "html_entities.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <string_view>

namespace article {

namespace {

struct NamedReference {
    const char* name;
    char32_t first;
    char32_t second;
    bool bare;  // also read without ";"
};

constexpr NamedReference kNamed[] = {
#include "html_entity_table.inc"
};

// What HTML reads &#128; to &#159; as: the characters Windows-1252 has there.
constexpr std::array<char32_t, 32> kC1Replacements{
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

bool IsAsciiAlphanumeric(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

int DigitValue(QChar c, bool hex) {
    if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
    if (hex && c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
    if (hex && c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
    return -1;
}

const NamedReference* FindNamed(std::string_view name) {
    const auto* found = std::lower_bound(std::begin(kNamed), std::end(kNamed), name,
                                         [](const NamedReference& entry, std::string_view wanted) {
                                             return std::string_view(entry.name) < wanted;
                                         });
    return found != std::end(kNamed) && std::string_view(found->name) == name ? found : nullptr;
}

char32_t NumericCharacter(char32_t value, bool overflowed) {
    if (overflowed || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0xFFFD;
    if (value >= 0x80 && value <= 0x9F) return kC1Replacements[value - 0x80];
    // Other control characters have no business in an article's text.
    if (value < 0x20 && value != u'\t' && value != u'\n' && value != u'\r' && value != u'\f')
        return 0xFFFD;
    return value;
}

CharacterReference ReadNumeric(QStringView text, qsizetype at) {
    const qsizetype size = text.size();
    qsizetype i = at + 2;  // past "&#"
    const bool hex = i < size && (text[i] == u'x' || text[i] == u'X');
    if (hex) ++i;
    const qsizetype digitsStart = i;
    char32_t value = 0;
    bool overflowed = false;
    for (int digit = 0; i < size && (digit = DigitValue(text[i], hex)) >= 0; ++i) {
        value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
        if (value > 0x10FFFF) {
            overflowed = true;
            value = 0x110000;  // keeps the product small while the digits go on
        }
    }
    if (i == digitsStart) return {};
    if (i < size && text[i] == u';') ++i;
    return {i - at, NumericCharacter(value, overflowed), 0};
}

CharacterReference ReadNamed(QStringView text, qsizetype at, ReferenceContext context) {
    const qsizetype size = text.size();
    // One more than the longest name, so that a longer run is seen to be no full name.
    std::array<char, kMaxEntityNameLength + 1> name{};
    qsizetype length = 0;
    while (length < qsizetype(name.size()) && at + 1 + length < size &&
           IsAsciiAlphanumeric(text[at + 1 + length])) {
        name[length] = static_cast<char>(text[at + 1 + length].unicode());
        ++length;
    }
    if (length == 0) return {};
    const qsizetype afterName = at + 1 + length;
    if (length <= kMaxEntityNameLength && afterName < size && text[afterName] == u';') {
        if (const NamedReference* found = FindNamed(std::string_view(name.data(), length))) {
            return {length + 2, found->first, found->second};
        }
    }
    // The longest name that old pages may write without ";" at the start of the run.
    for (qsizetype prefix = std::min<qsizetype>(length, 8); prefix >= 2; --prefix) {
        const NamedReference* found = FindNamed(std::string_view(name.data(), prefix));
        if (found == nullptr || !found->bare) continue;
        const qsizetype after = at + 1 + prefix;
        if (context == ReferenceContext::Attribute && after < size &&
            (IsAsciiAlphanumeric(text[after]) || text[after] == u'=')) {
            return {};
        }
        return {prefix + 1, found->first, found->second};
    }
    return {};
}

void AppendCodePoint(QString& out, char32_t c) {
    if (QChar::requiresSurrogates(c)) {
        out += QChar(QChar::highSurrogate(c));
        out += QChar(QChar::lowSurrogate(c));
    } else {
        out += QChar(static_cast<char16_t>(c));
    }
}

}  // namespace

CharacterReference ReadCharacterReference(QStringView text, qsizetype at,
                                          ReferenceContext context) {
    if (at + 1 < text.size() && text[at + 1] == u'#') return ReadNumeric(text, at);
    return ReadNamed(text, at, context);
}

void AppendCharacter(QString& out, char32_t c, ReferenceContext context) {
    switch (c) {
    case u'<':
        out += u"&lt;";
        return;
    case u'>':
        out += u"&gt;";
        return;
    case u'&':
        out += u"&amp;";
        return;
    case 0:
        out += QChar::ReplacementCharacter;
        return;
    case u'"':
        if (context == ReferenceContext::Attribute) {
            out += u"&quot;";
            return;
        }
        break;
    default:
        break;
    }
    AppendCodePoint(out, c);
}

QString DecodedAttribute(QStringView value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size();) {
        const CharacterReference reference =
            value[i] == u'&' ? ReadCharacterReference(value, i, ReferenceContext::Attribute)
                             : CharacterReference{};
        if (reference.length == 0) {
            out += value[i];
            ++i;
            continue;
        }
        AppendCodePoint(out, reference.first);
        if (reference.second != 0) AppendCodePoint(out, reference.second);
        i += reference.length;
    }
    return out;
}

void AppendDecoded(QString& out, QStringView text, ReferenceContext context) {
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] != u'&') {
            AppendCharacter(out, text[i].unicode(), context);
            ++i;
            continue;
        }
        const CharacterReference reference = ReadCharacterReference(text, i, context);
        if (reference.length == 0) {
            out += u"&amp;";
            ++i;
            continue;
        }
        AppendCharacter(out, reference.first, context);
        if (reference.second != 0) AppendCharacter(out, reference.second, context);
        i += reference.length;
    }
}

}  // namespace article
