#include "markup_whitelist.h"

#include <algorithm>
#include <array>

#include "style_subset.h"

namespace article {

namespace {

// Not <caption>: the view took tens of seconds over a page with a caption inside a cell.
// Not the table sections (<thead>, <tbody>, <tfoot>): their rows are kept, and the view
// builds tables of its own around sections in cells that no count here foresaw.
constexpr std::array kElements{
    u"a",     u"address", u"b",      u"big",    u"blockquote", u"body", u"br",  u"center",
    u"cite",  u"code",    u"dd",     u"del",    u"dfn",        u"div",  u"dl",  u"dt",
    u"em",    u"font",    u"h1",     u"h2",     u"h3",         u"h4",   u"h5",  u"h6",
    u"head",  u"hr",      u"html",   u"i",      u"img",        u"ins",  u"kbd", u"li",
    u"link",  u"nobr",    u"ol",     u"p",      u"pre",        u"q",    u"s",   u"samp",
    u"small", u"span",    u"strike", u"strong", u"style",      u"sub",  u"sup", u"table",
    u"td",    u"th",      u"title",  u"tr",     u"tt",         u"u",    u"ul",  u"var"};
constexpr std::array kBlocks{u"article", u"aside", u"details", u"figcaption", u"figure", u"footer",
                             u"header",  u"main",  u"nav",     u"section",    u"summary"};

template <std::size_t N>
bool In(const std::array<const char16_t*, N>& names, QStringView name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const char16_t* n) { return name == QStringView(n); });
}

bool IsTableCell(QStringView e) { return e == u"td" || e == u"th"; }
bool IsTablePart(QStringView e) { return e == u"tr"; }

// A whole number, or a percentage where allowed, brought within [low, high] (percentages
// within [0, 100]); nullopt when the value is not one.
std::optional<QString> BoundedNumber(QStringView value, int low, int high, bool percent) {
    value = value.trimmed();
    const bool isPercent = percent && value.endsWith(u'%');
    if (isPercent) value.chop(1);
    // "12.5" and "100px" are read by their whole leading number, as browsers read them.
    qsizetype digits = 0;
    const bool negative = value.startsWith(u'-');
    const bool sign = negative || value.startsWith(u'+');
    while (sign + digits < value.size() && value[sign + digits].isDigit() &&
           value[sign + digits].unicode() < 128) {
        ++digits;
    }
    if (digits == 0) return std::nullopt;
    qint64 number = 0;
    for (qsizetype i = sign; i < sign + digits; ++i)
        number = std::min<qint64>(number * 10 + (value[i].unicode() - u'0'), 1'000'000'000);
    if (negative) number = -number;
    if (isPercent) return QString::number(std::clamp<qint64>(number, 0, 100)) + u'%';
    return QString::number(std::clamp<qint64>(number, low, high));
}

// A colour, a keyword or a font's names: plain characters only, of a plain length.
std::optional<QString> Plain(QStringView value, bool spaces, qsizetype maxLength) {
    value = value.trimmed();
    if (value.isEmpty() || value.size() > maxLength) return std::nullopt;
    for (const QChar c : value) {
        const bool ok = c.isLetterOrNumber() || c == u'#' || c == u'-' || c == u'_' ||
                        (spaces && (c == u' ' || c == u','));
        if (!ok) return std::nullopt;
    }
    return value.toString();
}

// "size" of <font>: 1 to 7, or a step of at most 6 up or down.
std::optional<QString> FontSize(QStringView value) {
    value = value.trimmed();
    const bool relative = value.startsWith(u'+') || value.startsWith(u'-');
    if (!relative) return BoundedNumber(value, 1, 7, false);
    std::optional<QString> step = BoundedNumber(value, -6, 6, false);
    if (step && !step->startsWith(u'-')) step->prepend(u'+');
    return step;
}

}  // namespace

QString KeptElement(const QString& name) {
    if (In(kElements, name)) return name;
    if (In(kBlocks, name)) return QStringLiteral("div");
    return {};
}

bool IsNeverShown(QStringView name) {
    return name == u"meta" || name == u"script" || name == u"noscript" || name == u"base" ||
           name == u"wbr" || name == u"thead" || name == u"tbody" || name == u"tfoot";
}

std::optional<QString> KeptAttribute(QStringView element, QStringView key, QStringView value,
                                     qint64* declarations, QStringList* propertiesLeftOut) {
    if (key == u"style") return KeepDeclarations(value, declarations, propertiesLeftOut);
    if (key == u"id" || key == u"class" || key == u"title") return value.toString();
    if (key == u"dir") return Plain(value, false, 8);
    if (key == u"align") {
        if (element == u"div" || element == u"p" || element == u"img" || element == u"hr" ||
            element == u"table" || IsTableCell(element) || IsTablePart(element) ||
            (element.size() == 2 && element[0] == u'h')) {
            return Plain(value, false, 16);
        }
        return std::nullopt;
    }
    if (element == u"a") {
        if (key == u"href" || key == u"name") return value.toString();
        return std::nullopt;
    }
    if (element == u"img") {
        if (key == u"src" || key == u"alt") return value.toString();
        if (key == u"width" || key == u"height")
            return BoundedNumber(value, 0, kMaxBoxPixels, true);
        return std::nullopt;
    }
    if (element == u"link") {
        if (key == u"href") return value.toString();
        // Only a style sheet is ever loaded through <link>.
        if (key == u"rel" && value.trimmed().compare(u"stylesheet", Qt::CaseInsensitive) == 0)
            return u"stylesheet"_qs;
        if (key == u"type" && value.trimmed().compare(u"text/css", Qt::CaseInsensitive) == 0)
            return u"text/css"_qs;
        return std::nullopt;
    }
    const bool table = element == u"table";
    const bool cell = IsTableCell(element);
    if (table || cell) {
        if (key == u"width" || key == u"height")
            return BoundedNumber(value, 0, kMaxBoxPixels, true);
    }
    if (table) {
        if (key == u"border") return BoundedNumber(value, 0, 20, false);
        if (key == u"cellpadding" || key == u"cellspacing")
            return BoundedNumber(value, 0, 100, false);
    }
    if (cell) {
        if (key == u"colspan") return BoundedNumber(value, 1, kMaxColumnSpan, false);
        if (key == u"rowspan") return BoundedNumber(value, 1, kMaxRowSpan, false);
        if (key == u"nowrap") return QString();
    }
    if ((table || cell || IsTablePart(element) || element == u"body") && key == u"bgcolor")
        return Plain(value, false, 32);
    if ((cell || IsTablePart(element)) && key == u"valign") return Plain(value, false, 16);
    if (element == u"font") {
        if (key == u"color") return Plain(value, false, 32);
        if (key == u"face") return Plain(value, true, 200);
        if (key == u"size") return FontSize(value);
    }
    if (element == u"ol" && key == u"start")
        return BoundedNumber(value, -1'000'000, 1'000'000, false);
    if (element == u"li" && key == u"value")
        return BoundedNumber(value, -1'000'000, 1'000'000, false);
    if ((element == u"ol" || element == u"ul" || element == u"li") && key == u"type")
        return Plain(value, false, 16);
    if (element == u"hr") {
        if (key == u"width") return BoundedNumber(value, 0, kMaxBoxPixels, true);
        if (key == u"size") return BoundedNumber(value, 0, 100, false);
        if (key == u"noshade") return QString();
    }
    return std::nullopt;
}

}  // namespace article
