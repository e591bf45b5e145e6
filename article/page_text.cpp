#include "page_text.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

#include <QHash>
#include <QStringList>

#include "html_entities.h"
#include "markup_whitelist.h"
#include "style_subset.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

namespace article {

namespace {

// Browsers look for the declaration near the top only; old pages often put a long style
// block or comment before it, so we look a little further than the usual 1024 bytes.
constexpr qsizetype kCharsetScanBytes = 4096;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool IsLabelChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
           c == ':';
}

// The label after "charset" inside one tag, or empty.
QByteArray CharsetInTag(const QByteArray& tag) {
    qsizetype at = 0;
    while ((at = tag.indexOf("charset", at)) >= 0) {
        qsizetype i = at + 7;
        at = i;
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        if (i >= tag.size() || tag[i] != '=') continue;
        ++i;
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) ++i;
        const qsizetype start = i;
        while (i < tag.size() && IsLabelChar(tag[i])) ++i;
        if (i > start) return tag.mid(start, i - start);
    }
    return {};
}

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};

std::optional<QString> DecodeWithIcu(const char* encoding, QByteArrayView bytes) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, ConverterCloser> converter(ucnv_open(encoding, &status));
    if (U_FAILURE(status)) return std::nullopt;
    const auto length = static_cast<int32_t>(bytes.size());
    QString text(2 * bytes.size() + 1, Qt::Uninitialized);
    int32_t produced =
        ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(text.data()),
                      static_cast<int32_t>(text.size()), bytes.data(), length, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        status = U_ZERO_ERROR;
        ucnv_reset(converter.get());
        text.resize(produced + 1);
        produced = ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(text.data()),
                                 static_cast<int32_t>(text.size()), bytes.data(), length, &status);
    }
    if (U_FAILURE(status)) return std::nullopt;
    text.resize(produced);
    return text;
}

bool IsValidUtf8(QByteArrayView bytes) {
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(nullptr, 0, &length, bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    return status != U_INVALID_CHAR_FOUND && status != U_ILLEGAL_CHAR_FOUND;
}

// What a declared label means, by the names browsers accept for it: only the encodings
// that articles in Russian are written in, and those that a page in Latin letters declares.
// Any other label, however well the converter knows it (EBCDIC, UTF-7, CESU-8, ...), is
// taken as no declaration at all, so such a page is read by the guess below.
QByteArray BrowserLabel(const QByteArray& label) {
    struct Encoding {
        const char* name;
        std::initializer_list<const char*> labels;
    };
    static const Encoding kKnown[] = {
        {"utf-8",
         {"utf-8", "utf8", "unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8",
          "x-unicode20utf8"}},
        // A page that can say "utf-16" in ASCII is not UTF-16 (a real one carries a mark).
        {"utf-8",
         {"utf-16", "utf-16le", "utf-16be", "utf16", "unicode", "ucs-2", "csunicode",
          "iso-10646-ucs-2", "unicodefeff", "unicodefffe"}},
        {"windows-1251", {"windows-1251", "cp1251", "x-cp1251"}},
        {"koi8-r", {"koi8-r", "koi8_r", "koi8", "koi", "cskoi8r"}},
        {"koi8-u", {"koi8-u", "koi8-ru"}},
        {"iso-8859-5",
         {"iso-8859-5", "iso8859-5", "iso88595", "iso_8859-5", "iso_8859-5:1988", "iso-ir-144",
          "cyrillic", "csisolatincyrillic"}},
        {"ibm866", {"ibm866", "cp866", "866", "csibm866"}},
        {"windows-1252",
         {"windows-1252", "x-cp1252", "cp1252", "iso-8859-1", "iso8859-1", "iso88591", "iso_8859-1",
          "iso_8859-1:1987", "iso-ir-100", "latin1", "l1", "csisolatin1", "cp819", "ibm819",
          "us-ascii", "ascii", "ansi_x3.4-1968"}},
    };
    for (const Encoding& encoding : kKnown) {
        for (const char* known : encoding.labels) {
            if (label == known) return encoding.name;
        }
    }
    return {};
}

}  // namespace

QByteArray DeclaredCharset(QByteArrayView bytes) {
    const QByteArray head =
        bytes.first(std::min(bytes.size(), kCharsetScanBytes)).toByteArray().toLower();
    qsizetype at = 0;
    while (at < head.size()) {
        const qsizetype open = head.indexOf('<', at);
        if (open < 0) break;
        if (head.mid(open, 4) == "<!--") {
            const qsizetype close = head.indexOf("-->", open + 4);
            if (close < 0) break;
            at = close + 3;
            continue;
        }
        const qsizetype close = head.indexOf('>', open);
        if (close < 0) break;
        if (head.mid(open, 5) == "<meta" && open + 5 < head.size() &&
            (IsSpace(head[open + 5]) || head[open + 5] == '/')) {
            const QByteArray label = CharsetInTag(head.mid(open, close - open));
            if (!label.isEmpty()) return label;
        }
        at = close + 1;
    }
    return {};
}

DecodedPage DecodePage(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        return {QString::fromUtf8(bytes.sliced(3)), "utf-8"};
    }
    if (bytes.startsWith("\xFF\xFE")) {
        if (auto text = DecodeWithIcu("UTF-16LE", bytes.sliced(2))) return {*text, "utf-16le"};
    }
    if (bytes.startsWith("\xFE\xFF")) {
        if (auto text = DecodeWithIcu("UTF-16BE", bytes.sliced(2))) return {*text, "utf-16be"};
    }
    const QByteArray declared = BrowserLabel(DeclaredCharset(bytes));
    if (declared == "utf-8") return {QString::fromUtf8(bytes), declared};
    if (!declared.isEmpty()) {
        if (auto text = DecodeWithIcu(declared.constData(), bytes)) return {*text, declared};
    }
    if (IsValidUtf8(bytes)) return {QString::fromUtf8(bytes), "utf-8"};
    if (auto text = DecodeWithIcu("windows-1251", bytes)) return {*text, "windows-1251"};
    return {QString::fromLatin1(bytes), "iso-8859-1"};  // only if the converter data is missing
}


bool PageShape::TooComplex() const {
    return elementDepth > kMaxElementDepth || tableDepth > kMaxTableDepth ||
           tableCells > kMaxTableCells || nestingWork > kMaxNestingWork ||
           layoutWork > kMaxLayoutWork || (styled && nestingWork > kMaxStyledNestingWork) ||
           !StyleFits(styleSelectors, styleDeclarations, *this);
}

bool StyleFits(qint64 selectors, qint64 declarations, const PageShape& shape) {
    if (selectors == 0) return true;
    return selectors * shape.elements <= kMaxStyleWork &&
           declarations * shape.elements <= kMaxDeclarationWork &&
           shape.nestingWork <= kMaxStyledNestingWork;
}

namespace {

// A table cell costs the layout about as much as this many characters of text.
constexpr qint64 kCellLayoutWork = 64;

// What a character costs the layout for the tables around it: each level of tables lays
// out what it holds about three times over (for the narrowest and the widest its columns
// may be, then at their width). A page of text in simple nested tables takes about twice
// per level, but the layout fuzzer found pages with text at every level of eight that took
// ten times what twice per level foretold. Past 20 levels a page is refused for its depth.
qint64 TableWeight(int tables) {
    qint64 weight = 1;
    for (int level = 0; level < std::min(tables, 20); ++level) weight *= 3;
    return weight;
}

bool IsBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }

bool IsAsciiLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool IsNameChar(QChar c) {
    return IsAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_' || c == u':' ||
           c == u'.';
}

bool IsVoid(QStringView name) {
    static const QStringList kVoid{
        u"br"_qs,    u"img"_qs,    u"hr"_qs,       u"meta"_qs,   u"link"_qs, u"input"_qs,
        u"area"_qs,  u"base"_qs,   u"col"_qs,      u"param"_qs,  u"wbr"_qs,  u"frame"_qs,
        u"embed"_qs, u"source"_qs, u"basefont"_qs, u"keygen"_qs, u"track"_qs};
    return kVoid.contains(name);
}

bool IsTablePart(QStringView name) {
    return name == u"table" || name == u"tr" || name == u"td" || name == u"th";
}

struct Attribute {
    QStringView key;
    QStringView value;
    bool hasValue = false;
};

struct Tag {
    QString name;  // lower-cased; empty when the tag is not one the view should see
    bool closing = false;
    bool selfClosing = false;
    QList<Attribute> attributes;
    qsizetype end = 0;  // just past the '>'
};

// Reads the tag that starts at html[start] == '<'. Returns nullopt when the '<' starts no
// tag at all (the view's parser would still make an element of it; we write it as text).
std::optional<Tag> ReadTag(QStringView html, qsizetype start) {
    const qsizetype size = html.size();
    qsizetype i = start + 1;
    while (i < size && IsBlank(html[i])) ++i;
    Tag tag;
    if (i < size && html[i] == u'/') {
        tag.closing = true;
        ++i;
        while (i < size && IsBlank(html[i])) ++i;
    }
    if (i >= size || !IsAsciiLetter(html[i])) return std::nullopt;
    const qsizetype nameStart = i;
    while (i < size && IsNameChar(html[i])) ++i;
    tag.name = html.sliced(nameStart, i - nameStart).toString().toLower();
    bool misread = false;  // a name the view would read differently, e.g. with an entity or quote
    if (i < size && !IsBlank(html[i]) && html[i] != u'>' && html[i] != u'/') misread = true;

    // Attributes up to the first '>' outside quotes.
    while (i < size) {
        while (i < size && IsBlank(html[i])) ++i;
        if (i >= size) break;
        const QChar c = html[i];
        if (c == u'>') {
            ++i;
            break;
        }
        if (c == u'/') {
            qsizetype next = i + 1;
            while (next < size && IsBlank(html[next])) ++next;
            if (next < size && html[next] == u'>') tag.selfClosing = true;
            ++i;
            continue;
        }
        const qsizetype keyStart = i;
        while (i < size && !IsBlank(html[i]) && html[i] != u'>' && html[i] != u'/' &&
               html[i] != u'=') {
            if (html[i] == u'"' || html[i] == u'\'') {
                // A quote inside a name: skip the quoted part so that its '>' does not end the tag.
                const QChar quote = html[i];
                ++i;
                while (i < size && html[i] != quote) ++i;
                misread = true;
            }
            if (i < size) ++i;
        }
        Attribute attribute;
        attribute.key = html.sliced(keyStart, i - keyStart);
        qsizetype j = i;
        while (j < size && IsBlank(html[j])) ++j;
        if (j < size && html[j] == u'=') {
            ++j;
            while (j < size && IsBlank(html[j])) ++j;
            attribute.hasValue = true;
            if (j < size && (html[j] == u'"' || html[j] == u'\'')) {
                const QChar quote = html[j];
                const qsizetype valueStart = ++j;
                while (j < size && html[j] != quote) ++j;
                attribute.value = html.sliced(valueStart, j - valueStart);
                if (j < size) ++j;
            } else {
                const qsizetype valueStart = j;
                while (j < size && !IsBlank(html[j]) && html[j] != u'>') ++j;
                attribute.value = html.sliced(valueStart, j - valueStart);
            }
            i = j;
        }
        if (attribute.key.isEmpty()) {
            if (i < size && html[i] == u'=') ++i;  // "= value" without a name
            continue;
        }
        tag.attributes.append(attribute);
    }
    tag.end = i;
    if (misread) tag.name.clear();
    return tag;
}

// Writes the tag with the attributes the element keeps, each once (the first, as HTML
// reads a repeated one), decoded by us and quoted.
void AppendTag(QString& out, const QString& name, const Tag& tag, bool selfClosing,
               PageShape& shape) {
    out += u'<';
    out += name;
    QList<QString> written;
    for (const Attribute& attribute : tag.attributes) {
        const QString key = attribute.key.toString().toLower();
        if (written.contains(key)) continue;
        written.append(key);
        const std::optional<QString> value =
            KeptAttribute(name, key, DecodedAttribute(attribute.value), &shape.styleDeclarations,
                          &shape.propertiesLeftOut);
        if (!value) continue;
        out += u' ';
        out += key;
        out += u"=\"";
        for (const QChar c : *value) AppendCharacter(out, c.unicode(), ReferenceContext::Attribute);
        out += u'"';
    }
    out += selfClosing ? u"/>" : u">";
}

// A cell's span as the page keeps it.
int KeptSpan(const Tag& tag, QStringView name, QStringView key) {
    for (const Attribute& attribute : tag.attributes) {
        if (attribute.key.compare(key, Qt::CaseInsensitive) != 0) continue;
        qint64 ignored = 0;
        const std::optional<QString> kept =
            KeptAttribute(name, key, DecodedAttribute(attribute.value), &ignored);
        return kept ? kept->toInt() : 1;
    }
    return 1;
}

// The grid a table's layout holds: a position for every row and column, whether a cell
// fills it or not, so a wide cell in one row widens every row. A cell spanning rows takes
// its columns in the rows below as well.
class TableGrid {
public:
    // Each returns how many positions the grid grew by.
    qint64 StartRow() {
        ++row_;
        columns_ = 0;
        std::erase_if(spanning_, [&](const Spanning& cell) { return cell.lastRow < row_; });
        for (const Spanning& cell : spanning_) columns_ += cell.columns;
        return Grow(columns_);
    }
    qint64 AddCell(int columnSpan, int rowSpan) {
        if (row_ == 0) StartRow();
        columns_ += columnSpan;
        if (rowSpan > 1) spanning_.push_back({row_ + rowSpan - 1, columnSpan});
        lastRow_ = std::max(lastRow_, row_ + rowSpan - 1);
        return Grow(columns_);
    }

private:
    struct Spanning {
        qint64 lastRow;
        int columns;
    };
    qint64 Grow(qint64 columns) {
        widest_ = std::max(widest_, columns);
        const qint64 area = std::max(row_, lastRow_) * widest_;
        const qint64 grown = area - area_;
        area_ = area;
        return grown;
    }
    qint64 row_ = 0;
    qint64 lastRow_ = 0;
    qint64 columns_ = 0;
    qint64 widest_ = 0;
    qint64 area_ = 0;
    std::vector<Spanning> spanning_;
};

// The open elements, with the index of each name's and each table part's innermost entry,
// so that end tags and cells find what they close without searching.
class OpenElements {
public:
    explicit OpenElements(QString& out, PageShape& shape) : out_(out), shape_(shape) {}

    int Depth() const { return static_cast<int>(names_.size()); }
    int Tables() const { return tables_; }
    const QString& Top() const { return names_.back(); }
    bool IsOpen(const QString& name) const { return counts_.value(name) > 0; }

    void Push(const QString& name) {
        names_.push_back(name);
        ++counts_[name];
        if (name == u"table" || name == u"tr") tableParts_.push_back(names_.size() - 1);
        if (name == u"table") {
            ++tables_;
            shape_.tableDepth = std::max(shape_.tableDepth, tables_);
            grids_.push_back({names_.size() - 1, {}});
        }
        if (name == u"tr") shape_.tableCells += grids_.back().grid.StartRow();
        shape_.elementDepth = std::max(shape_.elementDepth, Depth());
    }

    // Closes the innermost open element of this name and everything opened inside it.
    void CloseThrough(const QString& name) {
        while (!names_.empty()) {
            const bool last = names_.back() == name;
            PopTop();
            if (last) return;
        }
    }

    // Closes what was opened inside the element at this index.
    void CloseAbove(std::size_t index) {
        while (names_.size() > index + 1) PopTop();
    }

    // The innermost open table or row: its index, or nullopt.
    std::optional<std::size_t> InnermostTablePart() const {
        if (tableParts_.empty()) return std::nullopt;
        return tableParts_.back();
    }
    const QString& NameAt(std::size_t index) const { return names_[index]; }
    // The innermost open element among these names, or an empty view.
    QStringView Innermost(std::initializer_list<QStringView> among) const {
        for (std::size_t k = names_.size(); k-- > 0;) {
            if (std::find(among.begin(), among.end(), names_[k]) != among.end()) return names_[k];
        }
        return {};
    }
    // Whether the innermost open table or row has no cell open inside it.
    bool OutsideCell() const {
        if (tableParts_.empty()) return false;
        for (std::size_t k = tableParts_.back() + 1; k < names_.size(); ++k) {
            if (names_[k] == u"td" || names_[k] == u"th") return false;
        }
        return true;
    }

    // The grid of the innermost open table; a cell is only ever placed inside one.
    TableGrid& Grid() { return grids_.back().grid; }

private:
    void PopTop() {
        const QString& name = names_.back();
        out_ += u"</";
        out_ += name;
        out_ += u'>';
        if (--counts_[name] == 0) counts_.remove(name);
        if (!tableParts_.empty() && tableParts_.back() == names_.size() - 1) tableParts_.pop_back();
        if (name == u"table") --tables_;
        if (!grids_.empty() && grids_.back().owner == names_.size() - 1) grids_.pop_back();
        names_.pop_back();
    }

    QString& out_;
    PageShape& shape_;
    std::vector<QString> names_;
    std::vector<std::size_t> tableParts_;
    QHash<QString, int> counts_;
    struct OwnedGrid {
        std::size_t owner;  // the index of the element it belongs to
        TableGrid grid;
    };
    std::vector<OwnedGrid> grids_;
    int tables_ = 0;
};

// One pass over a page, writing what the view is given and measuring it as it goes.
class PagePreparation {
public:
    explicit PagePreparation(QStringView in) : in_(in), size_(in.size()), open_(out_, shape_) {
        out_.reserve(size_ + size_ / kMaxUnbrokenRun + 16);
    }

    PageShape Run(QString& html) {
        while (i_ < size_) {
            Weigh();
            if (in_[i_] == u'<') {
                ReadMarkup();
            } else {
                ReadText();
            }
        }
        Weigh();
        html = std::move(out_);
        return std::move(shape_);
    }

private:
    // What was read since the last mark is weighted by the tables open at the mark.
    void Weigh() {
        shape_.layoutWork += qint64(i_ - mark_) * TableWeight(markTables_);
        mark_ = i_;
        markTables_ = open_.Tables();
    }

    // A comment, a declaration or processing instruction, or a tag at i_ ("<").
    void ReadMarkup() {
        qsizetype j = i_ + 1;
        while (j < size_ && IsBlank(in_[j])) ++j;
        if (in_.sliced(j).startsWith(u"!--")) {
            KeepComment(j);
            return;
        }
        if (j < size_ && (in_[j] == u'!' || in_[j] == u'?')) {
            const qsizetype gt = in_.indexOf(u'>', j);
            i_ = gt < 0 ? size_ : gt + 1;
            return;
        }
        const std::optional<Tag> tag = ReadTag(in_, i_);
        if (!tag) {
            out_ += u"&lt;";
            ++i_;
            ++run_;
            return;
        }
        i_ = tag->end;
        run_ = 0;
        KeepTag(*tag);
    }

    // The comment whose "!--" starts at j; an unclosed one takes the rest of the page.
    void KeepComment(qsizetype j) {
        const qsizetype end = in_.indexOf(u"-->", j + 3);
        if (end >= 0) {
            out_ += u"<!--";
            out_ += in_.sliced(j + 3, end - j - 3);
            out_ += u"-->";
        }
        i_ = end < 0 ? size_ : end + 3;
        run_ = 0;
    }

    void KeepTag(const Tag& tag) {
        if (tag.name.isEmpty()) return;
        if (tag.name == u"script" && !tag.closing) {
            i_ = RawTextEnd(i_, tag.name).second;
            return;
        }
        if (tag.name == u"title" && !tag.closing) {
            // Text to its end tag, as HTML reads it: a table inside would nest the page's
            // later tables one level deeper in the view.
            const auto [textEnd, after] = RawTextEnd(i_, tag.name);
            out_ += u"<title>";
            AppendDecoded(out_, in_.sliced(i_, textEnd - i_), ReferenceContext::Text);
            out_ += u"</title>";
            i_ = after;
            return;
        }
        QString name = KeptElement(tag.name);
        // The view closes the table cell around a <dt> or <dd> outside a list of its own, and
        // builds the rest of the table anew.
        if ((name == u"dt" || name == u"dd") && open_.Innermost({u"dl", u"td", u"th"}) != u"dl")
            name = u"div"_qs;
        if (name.isEmpty()) {
            NoteElementLeftOut(tag);
            return;
        }
        if (tag.closing) {
            if (open_.IsOpen(name)) open_.CloseThrough(name);
            return;
        }
        if (name == u"style") {
            KeepStyleElement(tag);
            return;
        }
        if (name == u"img" && !TakeImage()) return;
        // "<span/>" closes at once in the view; a table part is kept open all the same, so
        // that every cell and table is counted.
        if (name == u"link") shape_.styled = true;
        if (IsVoid(name) || (tag.selfClosing && !IsTablePart(name))) {
            // The view takes an unclosed <link> for a container and hides the rest of the
            // page inside it.
            AppendTag(out_, name, tag, tag.selfClosing || name == u"link", shape_);
            ++shape_.elements;
            shape_.nestingWork += open_.Depth() + 1;
            return;
        }
        CloseOmittedEndTags(name);
        if (name == u"td" || name == u"th" || name == u"tr") PlaceTablePart(name, tag);
        // The view nests every later table one level deeper after a table that stands in a
        // table but in no cell: such a table gets the cell HTML would give it.
        if (name == u"table" && open_.OutsideCell()) {
            PlaceTablePart(u"td"_qs, Tag{});
            OpenImpliedElement(u"td"_qs);
        }
        open_.Push(name);
        AppendTag(out_, name, tag, false, shape_);
        ++shape_.elements;
        shape_.nestingWork += open_.Depth();
    }

    void NoteElementLeftOut(const Tag& tag) {
        if (!tag.closing && !IsNeverShown(tag.name) && !shape_.elementsLeftOut.contains(tag.name) &&
            shape_.elementsLeftOut.size() < kMaxNamesLeftOut) {
            shape_.elementsLeftOut.append(tag.name);
        }
    }

    // Whether one more image is kept; those past the limit are counted and left out.
    bool TakeImage() {
        if (shape_.images >= kMaxImages) {
            ++shape_.imagesLeftOut;
            return false;
        }
        ++shape_.images;
        return true;
    }

    // The end of the raw text that an element such as <style> holds, and past its end tag.
    std::pair<qsizetype, qsizetype> RawTextEnd(qsizetype from, QStringView name) const {
        const QString endTag = u"</"_qs + name.toString();
        const qsizetype at = in_.indexOf(endTag, from, Qt::CaseInsensitive);
        if (at < 0) return {size_, size_};
        const qsizetype gt = in_.indexOf(u'>', at);
        return {at, gt < 0 ? size_ : gt + 1};
    }

    // A <style> element with the subset of its sheet that the page keeps.
    void KeepStyleElement(const Tag& tag) {
        const QString name = u"style"_qs;
        const auto [textEnd, after] = RawTextEnd(i_, name);
        const StyleSubset subset = KeepStyleSubset(in_.sliced(i_, textEnd - i_));
        shape_.styleSelectors += subset.selectors;
        shape_.styleDeclarations += subset.declarations;
        shape_.selectorsLeftOut += subset.selectorsLeftOut;
        for (const QString& property : subset.propertiesLeftOut) {
            if (!shape_.propertiesLeftOut.contains(property) &&
                shape_.propertiesLeftOut.size() < kMaxNamesLeftOut) {
                shape_.propertiesLeftOut.append(property);
            }
        }
        shape_.styled = true;
        AppendTag(out_, name, tag, false, shape_);
        // Other sheets come in through the viewer's loader, which keeps them to the
        // article folder and flattens what they import in turn.
        for (const QString& import : subset.imports) {
            out_ += u"@import url(\"";
            for (const QChar c : import)
                AppendCharacter(out_, c.unicode(), ReferenceContext::Attribute);
            out_ += u"\");\n";
        }
        for (const QChar c : subset.css) AppendCharacter(out_, c.unicode(), ReferenceContext::Text);
        out_ += u"</style>";
        i_ = after;
    }

    // The end tags that HTML lets a page leave out, closed before this element opens.
    void CloseOmittedEndTags(const QString& name) {
        if (name == u"table") {
            // As HTML has it; the view would close that paragraph, and the table with it, at
            // the next <p> inside the table.
            if (open_.Innermost({u"p", u"td", u"th", u"table"}) == u"p")
                open_.CloseThrough(u"p"_qs);
        } else if (name == u"p") {
            CloseTopIf({u"p"});
        } else if (name == u"li" || name == u"option") {
            CloseTopIf({u"p"});
            CloseTopIf({name == u"li" ? u"li" : u"option"});
        } else if (name == u"dt" || name == u"dd") {
            CloseTopIf({u"p"});
            CloseTopIf({u"dt", u"dd"});
        }
    }

    void CloseTopIf(std::initializer_list<const char16_t*> names) {
        for (const char16_t* closable : names) {
            if (open_.Depth() > 0 && open_.Top() == QStringView(closable)) {
                open_.CloseThrough(QString(open_.Top()));
                return;
            }
        }
    }

    // A cell or row finds its row and table, or gets them, as HTML would have them; a cell
    // takes its place in the table's grid.
    void PlaceTablePart(const QString& name, const Tag& tag) {
        if (name == u"tr") {
            PlaceRow();
            return;
        }
        PlaceCell();
        const qint64 grown =
            open_.Grid().AddCell(KeptSpan(tag, name, u"colspan"), KeptSpan(tag, name, u"rowspan"));
        shape_.tableCells += grown;
        shape_.layoutWork +=
            kCellLayoutWork * std::max<qint64>(grown, 1) * TableWeight(open_.Tables());
    }

    void PlaceRow() {
        auto part = open_.InnermostTablePart();
        if (part && open_.NameAt(*part) == u"tr") {
            open_.CloseAbove(*part);
            open_.CloseThrough(u"tr"_qs);
            part = open_.InnermostTablePart();
        }
        if (part) {
            open_.CloseAbove(*part);
        } else {
            OpenImpliedElement(u"table"_qs);
        }
    }

    void PlaceCell() {
        const auto part = open_.InnermostTablePart();
        if (part && open_.NameAt(*part) == u"tr") {
            open_.CloseAbove(*part);
        } else if (part) {
            open_.CloseAbove(*part);
            OpenImpliedElement(u"tr"_qs);
        } else {
            OpenImpliedElement(u"table"_qs);
            OpenImpliedElement(u"tr"_qs);
        }
    }

    // An element the page leaves out but HTML implies, such as the row around a bare cell.
    void OpenImpliedElement(const QString& name) {
        CloseOmittedEndTags(name);
        open_.Push(name);
        out_ += u'<';
        out_ += name;
        out_ += u'>';
        ++shape_.elements;
        shape_.nestingWork += open_.Depth();
    }

    // Text, with its character references decoded here: the view's parser reads any run of
    // letters after "&" as a name, which takes it minutes on a long run. An unbroken run
    // gets a break opportunity every kMaxUnbrokenRun characters.
    void ReadText() {
        const QChar c = in_[i_];
        if (c == u'&' && KeepCharacterReference()) return;
        if (c.isSpace() && c != QChar::Nbsp) {
            run_ = 0;
        } else if (++run_ > kMaxUnbrokenRun && !c.isLowSurrogate()) {
            out_ += QChar(0x200B);
            run_ = 1;
        }
        AppendCharacter(out_, c.unicode(), ReferenceContext::Text);
        ++i_;
    }

    // Whether a character reference stood at i_ ("&") and was written decoded.
    bool KeepCharacterReference() {
        const CharacterReference reference =
            ReadCharacterReference(in_, i_, ReferenceContext::Text);
        if (reference.length <= 0) return false;
        if (++run_ > kMaxUnbrokenRun) {
            out_ += QChar(0x200B);
            run_ = 1;
        }
        AppendCharacter(out_, reference.first, ReferenceContext::Text);
        if (reference.second != 0) AppendCharacter(out_, reference.second, ReferenceContext::Text);
        if (reference.first == u' ') run_ = 0;
        i_ += reference.length;
        return true;
    }

    const QStringView in_;
    const qsizetype size_;
    QString out_;
    PageShape shape_;
    OpenElements open_;
    qsizetype i_ = 0;
    int run_ = 0;  // characters since the last break opportunity
    qsizetype mark_ = 0;
    int markTables_ = 0;
};

}  // namespace

PageShape PreparePage(QString& html) {
    // Run replaces html only once it has read it all.
    return PagePreparation(html).Run(html);
}

}  // namespace article
