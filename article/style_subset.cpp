#include "style_subset.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace article {

namespace {

// What the view's rich text understands, less what could pull in anything but an image.
constexpr std::array kProperties{u"background",
                                 u"background-color",
                                 u"background-image",
                                 u"border",
                                 u"border-bottom",
                                 u"border-collapse",
                                 u"border-color",
                                 u"border-left",
                                 u"border-right",
                                 u"border-style",
                                 u"border-top",
                                 u"border-width",
                                 u"color",
                                 u"float",
                                 u"font",
                                 u"font-family",
                                 u"font-size",
                                 u"font-style",
                                 u"font-variant",
                                 u"font-weight",
                                 u"height",
                                 u"letter-spacing",
                                 u"line-height",
                                 u"list-style",
                                 u"list-style-type",
                                 u"margin",
                                 u"margin-bottom",
                                 u"margin-left",
                                 u"margin-right",
                                 u"margin-top",
                                 u"padding",
                                 u"padding-bottom",
                                 u"padding-left",
                                 u"padding-right",
                                 u"padding-top",
                                 u"page-break-after",
                                 u"page-break-before",
                                 u"text-align",
                                 u"text-decoration",
                                 u"text-indent",
                                 u"text-transform",
                                 u"vertical-align",
                                 u"white-space",
                                 u"width",
                                 u"word-spacing"};

// The largest length kept in each unit; larger ones are brought down to it. A page a few
// screens wide or a letter a few times the window's height is the most an article needs.
struct UnitBound {
    const char16_t* unit;
    double bound;
};
constexpr std::array kLengthBounds{
    UnitBound{u"px", 4000}, UnitBound{u"pt", 3000}, UnitBound{u"pc", 250}, UnitBound{u"em", 200},
    UnitBound{u"ex", 400},  UnitBound{u"rem", 200}, UnitBound{u"%", 1000}, UnitBound{u"in", 40},
    UnitBound{u"cm", 100},  UnitBound{u"mm", 1000}, UnitBound{u"", 4000}};
// Line heights as lengths, but a bare number or a percentage multiplies the line's own
// height: Qt's layout never ended on a line 4000 times as high as a large image.
constexpr std::array kLineHeightBounds{
    UnitBound{u"px", 4000}, UnitBound{u"pt", 3000}, UnitBound{u"pc", 250}, UnitBound{u"em", 200},
    UnitBound{u"ex", 400},  UnitBound{u"rem", 200}, UnitBound{u"%", 1000}, UnitBound{u"in", 40},
    UnitBound{u"cm", 100},  UnitBound{u"mm", 1000}, UnitBound{u"", 10}};
// Font sizes are bounded tighter: a glyph is drawn at its full size.
constexpr std::array kFontSizeBounds{
    UnitBound{u"px", 300}, UnitBound{u"pt", 225}, UnitBound{u"pc", 19},  UnitBound{u"em", 20},
    UnitBound{u"ex", 40},  UnitBound{u"rem", 20}, UnitBound{u"%", 2000}, UnitBound{u"in", 3},
    UnitBound{u"cm", 8},   UnitBound{u"mm", 80},  UnitBound{u"", 300}};

bool IsIdentStart(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u'-';
}
bool IsIdentChar(QChar c) { return IsIdentStart(c) || (c >= u'0' && c <= u'9'); }
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Skips a comment or a quoted string starting at css[i], or one character.
qsizetype SkipToken(QStringView css, qsizetype i) {
    const qsizetype size = css.size();
    if (css[i] == u'/' && i + 1 < size && css[i + 1] == u'*') {
        const qsizetype end = css.indexOf(u"*/", i + 2);
        return end < 0 ? size : end + 2;
    }
    if (css[i] == u'"' || css[i] == u'\'') {
        const QChar quote = css[i];
        for (++i; i < size && css[i] != quote && css[i] != u'\n'; ++i) {
            if (css[i] == u'\\') ++i;
        }
        return std::min(size, i + 1);
    }
    return i + 1;
}

// The index of the first of the stop characters at the top level from i (outside comments,
// strings and brackets), or size.
qsizetype FindAtTopLevel(QStringView css, qsizetype i, QStringView stops) {
    int depth = 0;
    while (i < css.size()) {
        const QChar c = css[i];
        if (depth == 0 && stops.contains(c)) return i;
        if (c == u'(' || c == u'[' || c == u'{') ++depth;
        if ((c == u')' || c == u']' || c == u'}') && depth > 0) --depth;
        i = SkipToken(css, i);
    }
    return css.size();
}

QString WithoutComments(QStringView text) {
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype next = SkipToken(text, i);
        if (!(text[i] == u'/' && next - i >= 2 && text[i + 1] == u'*'))
            out += text.sliced(i, next - i);
        i = next;
    }
    return out;
}

bool IsSimpleSelector(QStringView selector) {
    qsizetype i = 0;
    const qsizetype size = selector.size();
    while (i < size && IsIdentChar(selector[i])) ++i;  // the element, if any
    if (i > 0 && !IsIdentStart(selector[0])) return false;
    if (i < size && (selector[i] == u'.' || selector[i] == u'#')) {
        ++i;
        if (i >= size || !IsIdentStart(selector[i])) return false;
        while (i < size && IsIdentChar(selector[i])) ++i;
    }
    return size > 0 && i == size;
}

// A number with its unit starting at value[i] brought within bounds; returns the end.
qsizetype AppendBoundedNumber(QString& out, QStringView value, qsizetype i, const auto& bounds) {
    const qsizetype start = i;
    if (value[i] == u'+' || value[i] == u'-') ++i;
    while (i < value.size() && IsDigit(value[i])) ++i;
    if (i < value.size() && value[i] == u'.') {
        ++i;
        while (i < value.size() && IsDigit(value[i])) ++i;
    }
    const qsizetype unitStart = i;
    while (i < value.size() && (IsIdentChar(value[i]) || value[i] == u'%')) ++i;
    const QStringView unit = value.sliced(unitStart, i - unitStart);
    bool ok = false;
    double number = value.sliced(start, unitStart - start).toDouble(&ok);
    const auto bound = std::find_if(bounds.begin(), bounds.end(), [&](const UnitBound& b) {
        return unit.compare(QStringView(b.unit), Qt::CaseInsensitive) == 0;
    });
    if (!ok || bound == bounds.end() || !std::isfinite(number)) return -1;
    number = std::clamp(number, -bound->bound, bound->bound);
    out += QString::number(number, 'g', 6);
    out += unit.toString().toLower();
    return i;
}

// A property's value with every length within bounds, or empty when it holds anything
// outside plain values (escapes, expressions, url() other than an image's).
QString KeptValue(QStringView property, QStringView value) {
    const bool fontSize = property == u"font-size" || property == u"font";
    const bool lineHeight = property == u"line-height";
    const bool image = property == u"background-image" || property == u"background";
    QString out;
    for (qsizetype i = 0; i < value.size();) {
        const QChar c = value[i];
        if (c == u'#') {  // a colour: its digits are no length
            do {
                out += value[i++];
            } while (i < value.size() && IsIdentChar(value[i]));
            continue;
        }
        const bool signedNumber = (c == u'+' || c == u'-') && i + 1 < value.size() &&
                                  (IsDigit(value[i + 1]) || value[i + 1] == u'.') &&
                                  (i == 0 || !IsIdentChar(value[i - 1]));
        if (IsDigit(c) || (c == u'.' && i + 1 < value.size() && IsDigit(value[i + 1])) ||
            signedNumber) {
            if (i > 0 && IsIdentChar(value[i - 1]) && !signedNumber) {
                out += c;  // a digit inside a name, such as "h1"
                ++i;
                continue;
            }
            const qsizetype end = fontSize ? AppendBoundedNumber(out, value, i, kFontSizeBounds)
                                  : lineHeight
                                      ? AppendBoundedNumber(out, value, i, kLineHeightBounds)
                                      : AppendBoundedNumber(out, value, i, kLengthBounds);
            if (end < 0) return {};
            i = end;
            continue;
        }
        if (c == u'(') {
            const QString function = out.section(u' ', -1).toLower();
            if (!(image && function.endsWith(u"url")) && !function.endsWith(u"rgb") &&
                !function.endsWith(u"rgba")) {
                return {};
            }
        }
        if (c == u'\\' || c == u'{' || c == u'}' || c == u';' || c == u'<' || c == u'>' ||
            c == u'@' || c.category() == QChar::Other_Control) {
            return {};
        }
        if (c == u'"' || c == u'\'') {
            const qsizetype end = SkipToken(value, i);
            if (value.sliced(i, end - i).contains(u'\\')) return {};
            out += value.sliced(i, end - i);
            i = end;
            continue;
        }
        out += c;
        ++i;
    }
    return out.trimmed();
}

struct Declaration {
    QString property;
    QString value;
    bool important = false;
};

// The declarations of one block, at most one per property: the one that wins, as CSS
// decides it (the last, unless an earlier one is !important and the later one is not).
std::vector<Declaration> KeptBlock(QStringView block, QStringList* propertiesLeftOut) {
    std::vector<Declaration> kept;
    for (qsizetype i = 0; i < block.size();) {
        const qsizetype end = FindAtTopLevel(block, i, u";");
        const QString declaration = WithoutComments(block.sliced(i, end - i));
        i = end + 1;
        const qsizetype colon = declaration.indexOf(u':');
        if (colon <= 0) continue;
        const QString property = declaration.left(colon).trimmed().toLower();
        const auto leftOut = [&] {
            if (propertiesLeftOut != nullptr && !propertiesLeftOut->contains(property) &&
                propertiesLeftOut->size() < kMaxNamesLeftOut) {
                propertiesLeftOut->append(property);
            }
        };
        if (std::find(kProperties.begin(), kProperties.end(), QStringView(property)) ==
            kProperties.end()) {
            leftOut();
            continue;
        }
        QString value = declaration.mid(colon + 1).trimmed();
        bool important = false;
        if (value.endsWith(u"!important", Qt::CaseInsensitive)) {
            important = true;
            value.chop(10);
        }
        value = KeptValue(property, value);
        if (value.isEmpty()) {
            leftOut();
            continue;
        }
        const auto same = std::find_if(
            kept.begin(), kept.end(), [&](const Declaration& d) { return d.property == property; });
        if (same == kept.end()) {
            kept.push_back({property, value, important});
        } else if (important || !same->important) {
            *same = {property, value, important};
        }
    }
    return kept;
}

void AppendBlock(QString& out, const std::vector<Declaration>& declarations) {
    bool first = true;
    for (const Declaration& d : declarations) {
        if (!first) out += u"; ";
        first = false;
        out += d.property;
        out += u": ";
        out += d.value;
        if (d.important) out += u" !important";
    }
}

// The address an @import names: url(x), url("x") or "x".
QString ImportTarget(QStringView rule) {
    QStringView rest = rule.trimmed();
    if (rest.startsWith(u"url(", Qt::CaseInsensitive)) {
        const qsizetype close = rest.indexOf(u')');
        if (close < 0) return {};
        rest = rest.sliced(4, close - 4).trimmed();
    } else {
        const qsizetype end = SkipToken(rest, 0);
        rest = rest.first(end);
    }
    if (rest.size() >= 2 && (rest.front() == u'"' || rest.front() == u'\'') &&
        rest.back() == rest.front()) {
        rest = rest.sliced(1, rest.size() - 2);
    }
    for (const QChar c : rest) {
        if (c.category() == QChar::Other_Control || c == u'\\') return {};
    }
    return rest.toString();
}

}  // namespace

StyleSubset KeepStyleSubset(QStringView css) {
    StyleSubset subset;
    const qsizetype size = css.size();
    qsizetype i = 0;
    while (i < size) {
        const QChar c = css[i];
        if (c.isSpace() || (c == u'/' && i + 1 < size && css[i + 1] == u'*')) {
            i = SkipToken(css, i);
            continue;
        }
        // "<!--" and "-->" around old pages' style text.
        if (css.sliced(i).startsWith(u"<!--")) {
            i += 4;
            continue;
        }
        if (css.sliced(i).startsWith(u"-->")) {
            i += 3;
            continue;
        }
        if (c == u'@') {
            const qsizetype end = FindAtTopLevel(css, i, u";{");
            const QStringView rule = css.sliced(i, end - i);
            if (rule.startsWith(u"@import", Qt::CaseInsensitive) && end < size &&
                css[end] == u';') {
                const QString target = ImportTarget(rule.sliced(7));
                if (!target.isEmpty()) subset.imports.append(target);
            } else {
                ++subset.selectorsLeftOut;
            }
            // Other at-rules (@media, @font-face, @page ...) go whole, with their block.
            i = end < size && css[end] == u'{' ? FindAtTopLevel(css, end + 1, u"}") + 1 : end + 1;
            continue;
        }
        const qsizetype open = FindAtTopLevel(css, i, u"{");
        if (open >= size) break;
        const qsizetype close = FindAtTopLevel(css, open + 1, u"}");
        QStringList selectors;
        for (const QString& selector : WithoutComments(css.sliced(i, open - i)).split(u',')) {
            const QString simple = selector.trimmed();
            if (IsSimpleSelector(simple)) {
                selectors.append(simple);
            } else {
                ++subset.selectorsLeftOut;
            }
        }
        i = close + 1;
        if (selectors.isEmpty()) continue;
        const std::vector<Declaration> block = KeptBlock(
            css.sliced(open + 1, std::min(close, size) - open - 1), &subset.propertiesLeftOut);
        if (block.empty()) continue;
        subset.css += selectors.join(u", ");
        subset.css += u" { ";
        AppendBlock(subset.css, block);
        subset.css += u" }\n";
        subset.selectors += selectors.size();
        subset.declarations += qint64(block.size());
    }
    return subset;
}

QString KeepDeclarations(QStringView declarations, qint64* count, QStringList* propertiesLeftOut) {
    const std::vector<Declaration> block = KeptBlock(declarations, propertiesLeftOut);
    if (count != nullptr) *count += qint64(block.size());
    QString out;
    AppendBlock(out, block);
    return out;
}

}  // namespace article
