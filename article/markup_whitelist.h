#pragma once
// The elements and attributes an article page keeps: what the view needs for articles, with
// every number held within bounds its layout handles quickly. Anything else is left out and
// the text inside it stays.
#include <optional>

#include <QString>
#include <QStringList>
#include <QStringView>

namespace article {

// Spans past these are brought down to them: a table's layout holds a grid position for
// every row and column a cell spans.
inline constexpr int kMaxColumnSpan = 100;
inline constexpr int kMaxRowSpan = 100;
// Image and table sizes in pixels.
inline constexpr int kMaxBoxPixels = 4096;

// The name the view is given for an element (lower-cased), or empty when the tag is left
// out. Sectioning elements the view does not know become blocks ("div"), as browsers show
// them.
QString KeptElement(const QString& name);

// Elements that no page shows in any browser, whose leaving out loses nothing.
bool IsNeverShown(QStringView name);

// An attribute of a kept element, as the view is given it (the value decoded, not yet
// escaped), or nullopt when it is left out. key is lower-cased; a style attribute's
// declarations are counted into *declarations and the properties it loses named in
// *propertiesLeftOut.
std::optional<QString> KeptAttribute(QStringView element, QStringView key, QStringView value,
                                     qint64* declarations,
                                     QStringList* propertiesLeftOut = nullptr);

}  // namespace article
