#pragma once
// Character references ("&amp;", "&#1075;", "&nbsp") decoded as HTML decodes them, so that
// the view's own parser, which reads any run of letters after "&" as a name, never sees one.
#include <QString>
#include <QStringView>

namespace article {

// The longest name in the HTML list, "CounterClockwiseContourIntegral".
inline constexpr int kMaxEntityNameLength = 31;

struct CharacterReference {
    qsizetype length = 0;  // of the reference, "&" and ";" included; 0 when none starts here
    char32_t first = 0;
    char32_t second = 0;  // a few names stand for two characters
};

enum class ReferenceContext { Text, Attribute };

// The reference that starts at text[at] == '&'. Named references come from the HTML list,
// with or without ";" as HTML allows; numeric ones may omit ";". In an attribute, a name
// without ";" followed by a letter, digit or "=" is no reference (as in "?a=1&copy=2").
CharacterReference ReadCharacterReference(QStringView text, qsizetype at, ReferenceContext context);

// Appends one character so that the view's parser reads it back as that character: "<",
// ">", "&" (and '"' in an attribute) as the four references it knows, NUL as U+FFFD.
void AppendCharacter(QString& out, char32_t c, ReferenceContext context);

// An attribute value with every reference decoded, as plain text.
QString DecodedAttribute(QStringView value);

// Text or an attribute value with every reference decoded and the result written as above;
// an "&" that starts no reference is written as "&amp;".
void AppendDecoded(QString& out, QStringView text, ReferenceContext context);

}  // namespace article
