#include "page_loading.h"

#include <memory>
#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

namespace windows {

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
    int32_t produced = ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(text.data()),
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

// What a declared label means to a browser, where that differs from the converter's reading.
QByteArray BrowserLabel(QByteArray label) {
    // A page that can say "utf-16" in ASCII is not UTF-16 (a real one carries a mark).
    if (label.startsWith("utf-16") || label.startsWith("utf16") || label == "unicode") return "utf-8";
    if (label == "utf8") return "utf-8";
    if (label == "iso-8859-1" || label == "latin1" || label == "l1" || label == "us-ascii" ||
        label == "ascii" || label == "iso8859-1" || label == "iso_8859-1") {
        return "windows-1252";
    }
    // Labels that browsers do not honour on a page.
    if (label == "x-user-defined" || label.startsWith("utf-32") || label.startsWith("utf-7")) return {};
    return label;
}

QString OwnPage(const QString& heading, const QString& text, const QString& path) {
    return QStringLiteral(
               "<html><head><title>%1</title></head><body>"
               "<h2>%1</h2><p>%2</p><p><code>%3</code></p></body></html>")
        .arg(heading, text, QDir::toNativeSeparators(path).toHtmlEscaped());
}

}  // namespace

QByteArray DeclaredCharset(QByteArrayView bytes) {
    const QByteArray head = bytes.first(std::min(bytes.size(), kCharsetScanBytes)).toByteArray().toLower();
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

PageShape PreparePage(QString& html) {
    PageShape shape;
    QString out;
    out.reserve(html.size() + html.size() / kMaxUnbrokenRun + 16);
    QList<QString> open;  // names of the elements open at this point
    int tables = 0;
    int run = 0;
    bool inEntity = false;
    const qsizetype size = html.size();
    qsizetype i = 0;

    const auto copyUntil = [&](qsizetype end) {
        out += QStringView(html).sliced(i, end - i);
        i = end;
    };
    const auto popTo = [&](qsizetype index) {
        while (open.size() > index) {
            if (open.last() == u"table") --tables;
            open.removeLast();
        }
    };
    const auto closeTop = [&](std::initializer_list<const char16_t*> names) {
        for (const char16_t* name : names) {
            if (!open.isEmpty() && open.last() == QStringView(name)) {
                popTo(open.size() - 1);
                return;
            }
        }
    };

    while (i < size) {
        const QChar c = html[i];
        if (c == u'<' && html.mid(i, 4) == u"<!--") {
            const qsizetype end = html.indexOf(QStringLiteral("-->"), i + 4);
            copyUntil(end < 0 ? size : end + 3);
            continue;
        }
        const QChar next = i + 1 < size ? html[i + 1] : QChar();
        if (c == u'<' && (next.isLetter() || next == u'/' || next == u'!' || next == u'?')) {
            // A tag: up to the first '>' outside quotes.
            qsizetype end = i + 1;
            QChar quote;
            for (; end < size; ++end) {
                const QChar t = html[end];
                if (!quote.isNull()) {
                    if (t == quote) quote = QChar();
                } else if (t == u'"' || t == u'\'') {
                    quote = t;
                } else if (t == u'>') {
                    break;
                }
            }
            const qsizetype tagEnd = std::min(end + 1, size);
            const bool closing = next == u'/';
            qsizetype nameStart = i + (closing ? 2 : 1);
            qsizetype nameEnd = nameStart;
            while (nameEnd < tagEnd && (html[nameEnd].isLetterOrNumber())) ++nameEnd;
            const QString name = html.mid(nameStart, nameEnd - nameStart).toLower();
            const bool selfClosing = tagEnd >= 2 && html[tagEnd - 2] == u'/';
            copyUntil(tagEnd);
            run = 0;
            inEntity = false;
            if (name.isEmpty() || next == u'!' || next == u'?') continue;
            if (closing) {
                const qsizetype at = open.lastIndexOf(name);
                if (at >= 0) popTo(at);
                continue;
            }
            static const QStringList kVoid{QStringLiteral("br"),    QStringLiteral("img"),   QStringLiteral("hr"),
                                           QStringLiteral("meta"),  QStringLiteral("link"),  QStringLiteral("input"),
                                           QStringLiteral("area"),  QStringLiteral("base"),  QStringLiteral("col"),
                                           QStringLiteral("param"), QStringLiteral("wbr"),   QStringLiteral("frame"),
                                           QStringLiteral("embed"), QStringLiteral("source")};
            if (selfClosing || kVoid.contains(name)) continue;
            if (name == u"script" || name == u"style") {
                const qsizetype end2 = html.indexOf(QStringLiteral("</") + name, i, Qt::CaseInsensitive);
                copyUntil(end2 < 0 ? size : end2);
                continue;
            }
            // The end tags that HTML lets a page leave out.
            if (name == u"p") {
                closeTop({u"p"});
            } else if (name == u"li" || name == u"option") {
                closeTop({u"p"});
                closeTop({name == u"li" ? u"li" : u"option"});
            } else if (name == u"dt" || name == u"dd") {
                closeTop({u"p"});
                closeTop({u"dt", u"dd"});
            } else if (name == u"td" || name == u"th") {
                closeTop({u"p"});
                closeTop({u"td", u"th"});
            } else if (name == u"tr") {
                closeTop({u"p"});
                closeTop({u"td", u"th"});
                closeTop({u"tr"});
            }
            open.append(name);
            if (name == u"table") ++tables;
            shape.elementDepth = std::max(shape.elementDepth, static_cast<int>(open.size()));
            shape.tableDepth = std::max(shape.tableDepth, tables);
            continue;
        }
        // Text. A break may go before an entity such as "&nbsp;" but not into it.
        bool partOfEntity = false;
        if (c == u'&') {
            inEntity = true;
        } else if (inEntity) {
            partOfEntity = c.isLetterOrNumber() || c == u'#' || c == u';';
            inEntity = partOfEntity && c != u';';
        }
        if (c.isSpace() && c != QChar::Nbsp) {
            run = 0;
        } else if (++run > kMaxUnbrokenRun && !partOfEntity && !c.isLowSurrogate()) {
            out += QChar(0x200B);
            run = 1;
        }
        out += c;
        ++i;
    }
    html = std::move(out);
    return shape;
}

LoadedPage LoadPage(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return {PageStatus::Missing,
                OwnPage(QStringLiteral("Страница не найдена"), QStringLiteral("Файла статьи нет на диске:"), path),
                {}};
    }
    const LoadedPage unreadable{
        PageStatus::Unreadable,
        OwnPage(QStringLiteral("Страница не открывается"), QStringLiteral("Не удалось прочитать файл статьи:"), path),
        {}};
    const auto refused = [&](const QString& why) {
        const QString message = why + QStringLiteral(": ") + QDir::toNativeSeparators(path);
        return LoadedPage{PageStatus::Refused,
                          OwnPage(QStringLiteral("Страница не показана"), why.toHtmlEscaped() + u':', path),
                          message};
    };
    const QString tooLarge = QStringLiteral("Страница слишком велика для просмотра (больше %1 МБ)")
                                 .arg(kMaxPageBytes / (1024 * 1024));
    if (!info.isFile()) return unreadable;
    if (info.size() > kMaxPageBytes) return refused(tooLarge);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return unreadable;
    const QByteArray bytes = file.read(kMaxPageBytes + 1);
    if (file.error() != QFileDevice::NoError) return unreadable;
    if (bytes.size() > kMaxPageBytes) return refused(tooLarge);
    QString html = DecodePage(bytes).text;
    const PageShape shape = PreparePage(html);
    if (shape.elementDepth > kMaxElementDepth || shape.tableDepth > kMaxTableDepth) {
        return refused(QStringLiteral("Разметка страницы слишком сложна для просмотра"));
    }
    // An empty document would make the view complain on the console and keep nothing.
    if (html.isEmpty()) html = QStringLiteral("<html><body></body></html>");
    return {PageStatus::Loaded, std::move(html), {}};
}

ArticleBrowser::ArticleBrowser(QWidget* parent) : QTextBrowser(parent) {}

void ArticleBrowser::Open(const QUrl& url, QString html) {
    pendingUrl_ = url.adjusted(QUrl::RemoveFragment);
    pendingHtml_ = std::move(html);
    if (source().adjusted(QUrl::RemoveFragment) == pendingUrl_) {
        // setSource would only scroll; the page is read again as a browser would.
        reload();
        if (url.hasFragment()) scrollToAnchor(url.fragment());
    } else {
        setSource(url);
    }
    pendingUrl_.clear();
    pendingHtml_.clear();
}

QVariant ArticleBrowser::loadResource(int type, const QUrl& name) {
    if (type == QTextDocument::HtmlResource && name.isLocalFile()) {
        if (!pendingUrl_.isEmpty() && name.adjusted(QUrl::RemoveFragment) == pendingUrl_) {
            pendingUrl_.clear();
            return std::exchange(pendingHtml_, QString());
        }
        return LoadPage(name.toLocalFile()).html;
    }
    return QTextBrowser::loadResource(type, name);
}

}  // namespace windows
