#pragma once
// The part of CSS that articles need and the view lays out in bounded time: rules whose
// selectors are each one simple selector (an element, a class, an id, or an element with
// one class or id), a fixed set of properties with lengths kept within sane bounds, and
// @import of other sheets. Everything else (combinators, pseudo-classes, attribute
// selectors, other at-rules, unknown properties, escapes) is left out and the rest kept.
#include <QString>
#include <QStringList>
#include <QStringView>

namespace article {

// How many names of what was left out a page keeps, to tell its author.
inline constexpr qsizetype kMaxNamesLeftOut = 8;

struct StyleSubset {
    QString css;                    // the kept rules, one per line
    qint64 selectors = 0;           // simple selectors kept, over all rules
    qint64 declarations = 0;        // declarations kept, over all rules
    QStringList imports;            // what @import names, in order; not in css
    qint64 selectorsLeftOut = 0;    // and at-rules
    QStringList propertiesLeftOut;  // the first few, each once
};

// A style sheet, or the text of a <style> element.
StyleSubset KeepStyleSubset(QStringView css);

// The declarations of a style="" attribute; counts them into *count and names the
// properties left out in *propertiesLeftOut, when given.
QString KeepDeclarations(QStringView declarations, qint64* count = nullptr,
                         QStringList* propertiesLeftOut = nullptr);

}  // namespace article
