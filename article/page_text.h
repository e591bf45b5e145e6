#pragma once
// An article page's bytes into text the way a browser on a Russian system reads them, and
// the page made safe for the HTML view: measured, balanced and rewritten in plain markup.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace article {

// The charset that a <meta> tag near the top of the page declares, lower-cased; empty when
// there is none.
QByteArray DeclaredCharset(QByteArrayView bytes);

struct DecodedPage {
    QString text;
    QByteArray encoding;  // what the bytes were read as, e.g. "utf-8", "windows-1251"
};

// A byte-order mark wins, then a declared charset among those articles are written in
// (UTF-8, Windows-1251, KOI8-R and KOI8-U, ISO-8859-5, CP866, and Windows-1252 for the
// Latin-1 labels); otherwise valid UTF-8 is UTF-8 and anything else Windows-1251. Never
// fails: bad bytes become U+FFFD.
DecodedPage DecodePage(QByteArrayView bytes);

// Limits that keep the HTML view from working for minutes on a strange page. Articles are a
// few kilobytes with a table or two; the view's parser spends time in proportion to each
// element's depth, its layout takes two or three times as long with each level of tables
// inside tables (eight levels at most: a cell nine deep would outweigh any page), grows with
// the number of table cells, with style rules times elements, and with long unbroken words.
inline constexpr qint64 kMaxPageBytes = 1024 * 1024;
inline constexpr int kMaxElementDepth = 400;
inline constexpr int kMaxTableDepth = 8;
// Grid positions of all tables (rows times widest row, spans included): ten thousand cost
// the layout about 0.6 s, and 500 rows times 100 columns a second and half a gigabyte.
inline constexpr qint64 kMaxTableCells = 10000;
// The sum over all elements of their depth: what the view's parser walks.
inline constexpr qint64 kMaxNestingWork = 10'000'000;
// Matching the page's style rules costs the view about selectors times elements; and once
// a page has any style sheet at all, every element costs about ten times as much for each
// element around it as without one.
inline constexpr qint64 kMaxStyleWork = 1'000'000;
inline constexpr qint64 kMaxStyledNestingWork = 1'000'000;
// Each declaration a rule holds costs about as much again on every element it is matched
// against; a rule keeps at most one declaration of each property.
inline constexpr qint64 kMaxDeclarationWork = 4'000'000;
// Every character of the page, weighted by 3 to the power of the tables around it: the
// layout of a table's contents takes up to about three times as long for each level of
// tables around it. Two thirds of a page inside one table is the most this allows.
inline constexpr qint64 kMaxLayoutWork = 2 * kMaxPageBytes;
// Images past this many are left out of the page.
inline constexpr int kMaxImages = 1000;
// Longer runs of text without a space get an invisible break opportunity.
inline constexpr int kMaxUnbrokenRun = 1000;

struct PageShape {
    int elementDepth = 0;          // elements open inside one another, at the deepest point
    int tableDepth = 0;            // tables inside tables, at the deepest point
    qint64 tableCells = 0;         // grid positions of the tables' layouts: rows times widest row
    qint64 elements = 0;           // start tags kept
    qint64 nestingWork = 0;        // sum of the depth at each start tag
    qint64 styleSelectors = 0;     // selectors in the page's own <style> elements
    qint64 styleDeclarations = 0;  // declarations in them and in style attributes
    qint64 layoutWork = 0;         // characters weighted by the tables around them
    bool styled = false;  // has a <style> element or a <link>, which may bring a style sheet
    int images = 0;       // images kept
    int imagesLeftOut = 0;
    // What the view will not show, to tell the page's author: the names of the first few
    // elements and style properties left out, each once, and how many style selectors
    // (and at-rules) were.
    QStringList elementsLeftOut;
    QStringList propertiesLeftOut;
    qint64 selectorsLeftOut = 0;

    bool TooComplex() const;
};

// Whether style sheets holding this many selectors and declarations in all may apply to
// the page.
bool StyleFits(qint64 selectors, qint64 declarations, const PageShape& shape);

// Rewrites the page into markup the view reads exactly as measured here, in one pass:
// tags as the view's parser would accept them (a blank after "<", any letter case), with
// their attributes quoted; end tags for elements left open where HTML closes them (and
// for the elements a misplaced end tag closes); stray end tags, scripts, declarations and
// tags the view would misread dropped; a "<" that starts no tag written as "&lt;"; images
// past kMaxImages left out; a zero-width space put into every run of text longer than
// kMaxUnbrokenRun (not into tags, entities, comments or styles). An ordinary page comes
// out as it went in, apart from those breaks and the case of its tag names.
PageShape PreparePage(QString& html);

}  // namespace article
