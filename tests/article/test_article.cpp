// The article pages' pure functions, without widgets: decoding a page's bytes and
// preparing its markup.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

#include "article_folder.h"
#include "document_tables.h"
#include "html_entities.h"
#include "markup_whitelist.h"
#include "page_fixtures.h"
#include "page_text.h"
#include "special_files.h"
#include "style_subset.h"

using page_fixtures::Cp1251;
using page_fixtures::Utf16;

class TestArticle : public QObject {
    Q_OBJECT
private slots:
    void decodesByMarkDeclarationOrGuess_data();
    void decodesByMarkDeclarationOrGuess();
    void measuresNesting_data();
    void measuresNesting();
    void measuresTheTablesTheViewBuilds_data();
    void measuresTheTablesTheViewBuilds();
    void breaksLongRuns_data();
    void breaksLongRuns();
    void decodesCharacterReferences_data();
    void decodesCharacterReferences();
    void keepsTheStyleSubset_data();
    void keepsTheStyleSubset();
    void keepsWhitelistedMarkup_data();
    void keepsWhitelistedMarkup();
    void countsTheTableGrid_data();
    void countsTheTableGrid();
    void keepsImagesUpToTheLimit_data();
    void keepsImagesUpToTheLimit();
    void folderHoldsOnlyWhatLiesInsideByRealPath();
};

void TestArticle::decodesByMarkDeclarationOrGuess_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QByteArray>("encoding");

    const QString word = QStringLiteral("Грипп");
    const QByteArray utf8 = word.toUtf8();
    const QByteArray cp1251 = Cp1251(word);
    const QByteArray koi8r("\xE7\xD2\xC9\xD0\xD0");  // "Грипп"

    QTest::newRow("UTF-8 mark beats a Windows-1251 declaration")
        << QByteArray("\xEF\xBB\xBF<meta charset=\"windows-1251\"><p>") + utf8 << word
        << QByteArray("utf-8");
    QTest::newRow("UTF-16 LE mark")
        << QByteArray("\xFF\xFE") + Utf16(QStringLiteral("<p>") + word, false) << word
        << QByteArray("utf-16le");
    QTest::newRow("UTF-16 BE mark")
        << QByteArray("\xFE\xFF") + Utf16(QStringLiteral("<p>") + word, true) << word
        << QByteArray("utf-16be");
    QTest::newRow("http-equiv declaration")
        << QByteArray(
               "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
               "charset=Windows-1251\"><p>") +
               cp1251
        << word << QByteArray("windows-1251");
    QTest::newRow("meta charset, single quotes, other than the guess")
        << QByteArray("<head><meta charset='koi8-r' /></head><p>") + koi8r << word
        << QByteArray("koi8-r");
    QTest::newRow("declaration beats valid UTF-8")
        << QByteArray("<meta charset=windows-1251><p>") + utf8 << QStringLiteral("Р“СЂРёРїРї")
        << QByteArray("windows-1251");
    QTest::newRow("no declaration, valid UTF-8")
        << QByteArray("<p>") + utf8 << word << QByteArray("utf-8");
    QTest::newRow("no declaration, not UTF-8")
        << QByteArray("<p>") + cp1251 << word << QByteArray("windows-1251");
    QTest::newRow("ISO-8859-5 under an old alias")
        << QByteArray("<meta charset=ISO_8859-5:1988><p>\xB3\xE0\xD8\xDF\xDF") << word
        << QByteArray("iso-8859-5");
    QTest::newRow("CP866 declared") << QByteArray("<meta charset=cp866><p>\x83\xE0\xA8\xAF\xAF")
                                    << word << QByteArray("ibm866");
    QTest::newRow("Latin-1 is read as browsers read it")
        << QByteArray("<meta charset=latin1><p>caf\xE9 \x93q\x94") << QStringLiteral("café “q”")
        << QByteArray("windows-1252");
    // Labels the converter knows but no article is written in: an ordinary page stays readable.
    QTest::newRow("EBCDIC label is taken as none")
        << QByteArray("<meta charset=\"ibm-1047\"><p>") + cp1251 << word
        << QByteArray("windows-1251");
    QTest::newRow("UTF-7 label is taken as none")
        << QByteArray("<meta charset=utf-7><p>") + utf8 << word << QByteArray("utf-8");
    QTest::newRow("Shift_JIS label is taken as none")
        << QByteArray("<meta charset=shift_jis><p>") + cp1251 << word << QByteArray("windows-1251");
    QTest::newRow("unknown charset is guessed")
        << QByteArray("<meta charset=\"x-no-such-thing\"><p>") + cp1251 << word
        << QByteArray("windows-1251");
    QTest::newRow("declaration in a comment does not count")
        << QByteArray("<!-- <meta charset=koi8-r> --><p>") + cp1251 << word
        << QByteArray("windows-1251");
    QTest::newRow("utf-16 declared on an ASCII-readable page is UTF-8")
        << QByteArray("<meta charset=utf-16><p>") + utf8 << word << QByteArray("utf-8");
    QTest::newRow("charset outside a meta tag does not count")
        << QByteArray("<p>charset=koi8-r ") + cp1251 << word << QByteArray("windows-1251");
    QTest::newRow("UTF-8 cut in the middle of a letter is not UTF-8")
        << QByteArray("<p>") + cp1251 + utf8.left(3) << word << QByteArray("windows-1251");
    QTest::newRow("empty") << QByteArray() << QString() << QByteArray("utf-8");
}

void TestArticle::decodesByMarkDeclarationOrGuess() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QFETCH(QByteArray, encoding);
    const article::DecodedPage page = article::DecodePage(bytes);
    QCOMPARE(page.encoding, encoding);
    QVERIFY2(page.text.contains(expected), qPrintable(page.text));
}

void TestArticle::measuresNesting_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<int>("elementDepth");
    QTest::addColumn<int>("tableDepth");
    QTest::newRow("paragraphs left open") << QStringLiteral("<body><p>a<p>b<P>c</body>") << 2 << 0;
    QTest::newRow("list items left open")
        << QStringLiteral("<ul><li>a<li>b<ul><li>c</ul></ul>") << 4 << 0;
    QTest::newRow("rows and cells left open")
        << QStringLiteral("<table><tr><td>a<td>b<tr><th>c<td>d</table><p>e") << 3 << 1;
    QTest::newRow("table in a table")
        << QStringLiteral("<table><tr><td><table><tr><td>x</td></tr></table></td></tr></table>")
        << 6 << 2;
    QTest::newRow("stray end tags") << QStringLiteral("</div></p><b>x</b></b>") << 1 << 0;
    QTest::newRow("void and self-closing")
        << QStringLiteral("<br><img src=a><hr/><span/><meta charset=x>") << 0 << 0;
    QTest::newRow("comment, script and style")
        << QStringLiteral(
               "<!-- <table><table> --><script>if (a<b) t='<table>';</script><style>p>b{}</style>")
        << 0 << 0;
    QTest::newRow("'>' inside quotes")
        << QStringLiteral("<a title=\"a>b\" href='c>'><b>x</b></a>") << 2 << 0;
    QTest::newRow("deep divs") << QStringLiteral("<div>").repeated(450) << 450 << 0;
}

void TestArticle::measuresNesting() {
    QFETCH(QString, html);
    QFETCH(int, elementDepth);
    QFETCH(int, tableDepth);
    const article::PageShape shape = article::PreparePage(html);
    QCOMPARE(shape.elementDepth, elementDepth);
    QCOMPARE(shape.tableDepth, tableDepth);
}

using document_tables::Tables;
using document_tables::TablesIn;

// The layout's cost grows by a factor with every level of tables and with the grid, so what
// is counted is what Qt's parser builds from the prepared page, however the page leaves its
// tables: the same depth, and no fewer grid positions.
void TestArticle::measuresTheTablesTheViewBuilds_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<int>("tableDepth");
    const QString cell = u"<table><tr><td>x</td></tr></table>"_qs;
    QTest::newRow("tables in cells")
        << u"<table><tr><td>"_qs + cell + u"<td>"_qs + cell + u"</table>"_qs << 2;
    QTest::newRow("tables after a row, in no cell")
        << u"<table><tr><td>a</td></tr>"_qs + cell.repeated(6) + u"</table>"_qs << 2;
    QTest::newRow("tables in a table that has no row yet")
        << u"<table>"_qs + cell.repeated(4) + u"</table>"_qs << 2;
    QTest::newRow("tables in a heading left open between rows")
        << u"<table><tr><td>a</td></tr><h2>b"_qs + cell + u"</h2>"_qs + cell.repeated(3) +
               u"</table>"_qs
        << 2;
    QTest::newRow("cells after a row, in no row")
        << u"<table><tr><td>a</td></tr><td>"_qs + cell + u"</td><td>"_qs + cell + u"</table>"_qs
        << 2;
    QTest::newRow("tables in a row outside any table")
        << u"<tr><td>a</td>"_qs + cell.repeated(3) << 2;
    QTest::newRow("tables after a section")
        << u"<table><tbody><tr><td>a</tbody>"_qs + cell.repeated(3) + u"</table>"_qs << 2;
    QTest::newRow("a section outside any table")
        << u"<tbody><tr><td>a</td></tr><tr><td>b</tbody>"_qs << 1;
    QTest::newRow("tables after a section outside any table")
        << u"<tbody><tr><td>a</tbody>"_qs + cell.repeated(3) << 2;
    QTest::newRow("a section in a cell")
        << u"<table><tr><td><table><tr><th><tfoot></table><td><tr><td><td></table>"_qs << 2;
    QTest::newRow("definition terms in cells")
        << u"<table><tr><td><dt>a</dt><td>b<tr><td><dd>c<td><dl><dt>d</dl></table>"_qs << 1;
    QTest::newRow("a paragraph in a row of a table in a paragraph")
        << u"<p><table><tr><td>a</td></tr><tr><p>b</p><td>c<td>d</table>"_qs << 1;
    QTest::newRow("a paragraph in a row of a bare cell's table in a paragraph")
        << u"<p><td>a<tr><p>b<td>c"_qs << 1;
    QTest::newRow("a table in a title in a cell")
        << u"<table><tr><td><title>a<table><tr><td>b</table></title></td><td>"_qs + cell +
               u"<td>"_qs + cell + u"</table>"_qs
        << 2;
    QTest::newRow("unclosed tables in rows") << u"<table><tr><table><tr><table><tr><td>a"_qs << 3;
    QTest::newRow("a page's frame again in a cell")
        << u"<body><td><p><head><html><body><p><td><tr><td colspan=100>"_qs << 1;
}

void TestArticle::measuresTheTablesTheViewBuilds() {
    QFETCH(QString, html);
    QFETCH(int, tableDepth);
    const article::PageShape shape = article::PreparePage(html);
    QTextDocument document;
    document.setHtml(html);
    const Tables built = TablesIn(document.rootFrame());
    QCOMPARE(built.depth, tableDepth);
    QCOMPARE(shape.tableDepth, tableDepth);
    QVERIFY2(
        built.positions <= shape.tableCells,
        qPrintable(
            u"%1 grid positions built, %2 counted"_qs.arg(built.positions).arg(shape.tableCells)));
}

void TestArticle::breaksLongRuns_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<int>("breaks");
    const QString run = QString(2500, u'ж');
    QTest::newRow("long word") << QStringLiteral("<p>") + run + QStringLiteral("</p>") << 2;
    QTest::newRow("words of ordinary length") << (QString(900, u'a') + u' ').repeated(5) << 0;
    QTest::newRow("non-breaking spaces do not break")
        << (QStringLiteral("&nbsp;") + QString(20, u'a') + QChar(QChar::Nbsp)).repeated(100) << 2;
    QTest::newRow("long attribute") << QStringLiteral("<a href=\"%1\">x</a>").arg(run) << 0;
    QTest::newRow("long comment") << QStringLiteral("<!--%1-->").arg(run) << 0;
    QTest::newRow("long style") << QStringLiteral("<style>p { font-family: %1 }\n</style>").arg(run)
                                << 0;
    QTest::newRow("run split by tags")
        << QString(800, u'a') + QStringLiteral("<b>") + QString(800, u'b') << 0;
}

void TestArticle::breaksLongRuns() {
    QFETCH(QString, html);
    QFETCH(int, breaks);
    QString prepared = html;
    article::PreparePage(prepared);
    const QChar zeroWidthSpace(0x200B);
    QCOMPARE(prepared.count(zeroWidthSpace), breaks);
    QVERIFY(!prepared.contains(QRegularExpression(QStringLiteral("&[#A-Za-z0-9]*\u200B"))));
    prepared.remove(zeroWidthSpace);
    // The view is given characters, not the references that name them.
    QCOMPARE(prepared, QString(html).replace(QStringLiteral("&nbsp;"), QChar(QChar::Nbsp)));
}

void TestArticle::decodesCharacterReferences_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("attribute");
    QTest::addColumn<QString>("decoded");
    const auto row = [](const char* name, const QString& text, bool attribute,
                        const QString& decoded) {
        QTest::newRow(name) << text << attribute << decoded;
    };
    row("the markup characters", u"&lt;b&gt; &amp; &quot;"_qs, false, u"<b> & \""_qs);
    row("no-break space", u"a&nbsp;b"_qs, false, u"a\u00A0b"_qs);
    row("decimal and hexadecimal", u"&#1075;&#x43B;&#X43e;"_qs, false, u"гло"_qs);
    row("numeric without a semicolon", u"&#1075x"_qs, false, u"гx"_qs);
    row("NUL, a surrogate and past the last character", u"&#0;&#xD800;&#99999999999999;"_qs, false,
        u"\uFFFD\uFFFD\uFFFD"_qs);
    row("the Windows-1252 block", u"&#150;&#128;"_qs, false, u"\u2013\u20AC"_qs);
    row("the longest name", u"&CounterClockwiseContourIntegral;"_qs, false, u"\u2233"_qs);
    row("two characters", u"&NotEqualTilde;"_qs, false, u"\u2242\u0338"_qs);
    row("an old name without a semicolon", u"&copy 2020"_qs, false, u"\u00A9 2020"_qs);
    row("the longest old name inside a longer word", u"&notit;"_qs, false, u"\u00ACit;"_qs);
    row("an old name before = in text", u"?a=1&copy=2"_qs, false, u"?a=1\u00A9=2"_qs);
    row("an old name before = in an address", u"?a=1&copy=2"_qs, true, u"?a=1&copy=2"_qs);
    row("an old name before a letter in an address", u"?x&copyright"_qs, true, u"?x&copyright"_qs);
    row("an unknown name", u"&nosuchname; & &; &#; &#x;"_qs, false,
        u"&nosuchname; & &; &#; &#x;"_qs);
    row("a name longer than any", u"&"_qs + QString(40, u'a') + u';', false,
        u"&"_qs + QString(40, u'a') + u';');
}

void TestArticle::decodesCharacterReferences() {
    QFETCH(QString, text);
    QFETCH(bool, attribute);
    QFETCH(QString, decoded);
    if (attribute) QCOMPARE(article::DecodedAttribute(text), decoded);
    // Written for the view, the text holds no reference but the four it reads exactly.
    QString written;
    article::AppendDecoded(
        written, text,
        attribute ? article::ReferenceContext::Attribute : article::ReferenceContext::Text);
    QVERIFY2(!written.contains(QRegularExpression(QStringLiteral("&(?!(lt|gt|amp|quot);)"))),
             qPrintable(written));
    QString back = written;
    back.replace(u"&lt;"_qs, u"<"_qs).replace(u"&gt;"_qs, u">"_qs).replace(u"&quot;"_qs, u"\""_qs);
    back.replace(u"&amp;"_qs, u"&"_qs);
    QCOMPARE(back, decoded);
}

void TestArticle::keepsTheStyleSubset_data() {
    QTest::addColumn<QString>("css");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QStringList>("imports");
    const auto row = [](const char* name, const QString& css, const QString& kept,
                        const QStringList& imports = {}) {
        QTest::newRow(name) << css << kept << imports;
    };
    row("a plain rule", u"p { color: red }"_qs, u"p { color: red }\n"_qs);
    row("element, class, id and one of each with an element",
        u"h1, .note, #top, td.small, a#up { color: #ff0000 }"_qs,
        u"h1, .note, #top, td.small, a#up { color: #ff0000 }\n"_qs);
    row("combinators, pseudo-classes, attributes and * are left out",
        u"h1 ~ p, div > p, div p, p + p, a:hover, [href], *, .a.b, .note { color: red }"_qs,
        u".note { color: red }\n"_qs);
    row("a rule with nothing simple goes whole", u"h1 ~ p { color: red } q { color: blue }"_qs,
        u"q { color: blue }\n"_qs);
    row("one declaration per property: the last", u"p { color: red; COLOR: blue; margin: 1px }"_qs,
        u"p { color: blue; margin: 1px }\n"_qs);
    row("unless an earlier one is important", u"p { color: red !important; color: blue }"_qs,
        u"p { color: red !important }\n"_qs);
    row("lengths within bounds",
        u"p { font-size: 100000px; margin: -9999999px 2em; text-indent: 50000% }"_qs,
        u"p { font-size: 300px; margin: -4000px 2em; text-indent: 1000% }\n"_qs);
    row("a line height multiplies the line: bare numbers and percentages bounded tighter",
        u"p { line-height: 4000 } h1 { line-height: 90000% } h2 { line-height: 9000px }"_qs,
        u"p { line-height: 10 }\nh1 { line-height: 1000% }\nh2 { line-height: 4000px }\n"_qs);
    row("unknown properties and units are left out",
        u"p { position: fixed; behavior: url(x.htc); width: 1e9px; color: green }"_qs,
        u"p { color: green }\n"_qs);
    row("functions other than an image's address and colours",
        u"p { color: expression(alert(1)); width: calc(100% - 1px); background: rgb(1, 2, 3) url(dot.png) }"_qs,
        u"p { background: rgb(1, 2, 3) url(dot.png) }\n"_qs);
    row("escapes", u"p { color: \\72 ed; font-family: \"a\\\"b\" }"_qs, QString());
    row("at-rules with blocks go whole",
        u"@media screen { p { color: red } } @font-face { x: y } q { color: blue }"_qs,
        u"q { color: blue }\n"_qs);
    row("imports are named apart",
        u"@import url(\"a.css\"); @import 'b.css'; @import url(c.css) screen; p{color:red}"_qs,
        u"p { color: red }\n"_qs, {u"a.css"_qs, u"b.css"_qs, u"c.css"_qs});
    row("comments and old hiding",
        u"<!-- p { color: red } /* } */ q { /* x */ color: blue } -->"_qs,
        u"p { color: red }\nq { color: blue }\n"_qs);
    row("quoted font names", u"p { font-family: \"Times New Roman\", serif }"_qs,
        u"p { font-family: \"Times New Roman\", serif }\n"_qs);
    row("unclosed block", u"p { color: red"_qs, u"p { color: red }\n"_qs);
    row("twenty thousand declarations of one property",
        u"p {"_qs + QStringLiteral("color: #%1;").repeated(20000).arg(u"123456"_qs) + u'}',
        u"p { color: #123456 }\n"_qs);
}

void TestArticle::keepsTheStyleSubset() {
    QFETCH(QString, css);
    QFETCH(QString, kept);
    QFETCH(QStringList, imports);
    const article::StyleSubset subset = article::KeepStyleSubset(css);
    QCOMPARE(subset.css, kept);
    QCOMPARE(subset.imports, imports);
    // What is kept is kept again as it stands.
    QCOMPARE(article::KeepStyleSubset(subset.css).css, subset.css);
}

void TestArticle::keepsWhitelistedMarkup_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("prepared");
    const auto row = [](const char* name, const QString& html, const QString& prepared) {
        QTest::newRow(name) << html << prepared;
    };
    row("image sizes within bounds, handlers left out",
        u"<img src=dot.png width=100000 height=\"9000000\" onerror=\"x()\" alt='a&amp;b'>"_qs,
        u"<img src=\"dot.png\" width=\"4096\" height=\"4096\" alt=\"a&amp;b\">"_qs);
    row("percentages and numbers with units", u"<img width=\"150%\" height=\"12.5px\">"_qs,
        u"<img width=\"100%\" height=\"12\">"_qs);
    row("spans, borders and paddings",
        u"<table border=100000 cellpadding=-5 cellspacing=7 summary=x><tr><td colspan=20000 rowspan=0 onclick=y>x"_qs,
        u"<table border=\"20\" cellpadding=\"0\" cellspacing=\"7\"><tr><td colspan=\"100\" rowspan=\"1\">x"_qs);
    row("font sizes and colours",
        u"<font size=+9 color=\"red;x\" face=\"Arial, sans-serif\">x</font>"_qs,
        u"<font size=\"+6\" face=\"Arial, sans-serif\">x</font>"_qs);
    row("style attributes keep the subset",
        u"<p style=\"font-size:100000px; position:fixed\">x</p>"_qs,
        u"<p style=\"font-size: 300px\">x</p>"_qs);
    row("a caption's text stays, the caption does not",
        u"<table><caption>Таблица</caption><tr><td>x<caption>y</caption></td></tr></table>"_qs,
        u"<table>Таблица<tr><td>xy</td></tr></table>"_qs);
    row("sectioning elements become blocks", u"<section><article><p>x</p></article></section>"_qs,
        u"<div><div><p>x</p></div></div>"_qs);
    row("unknown elements go, their text stays",
        u"<iframe src=x></iframe><form><input value=1><p>y</p></form><svg><g>z</g></svg><meta charset=utf-8>"_qs,
        u"<p>y</p>z"_qs);
    row("an attribute once, as written first", u"<a href=\"a&amp;b\" HREF=\"c\" Name=n>x</a>"_qs,
        u"<a href=\"a&amp;b\" name=\"n\">x</a>"_qs);
    row("only a style sheet link",
        u"<link rel=stylesheet type=text/css href=a.css><link rel=icon href=b.ico>"_qs,
        u"<link rel=\"stylesheet\" type=\"text/css\" href=\"a.css\"/><link href=\"b.ico\"/>"_qs);
    row("a style element keeps its subset and names its imports",
        u"<style>@import 'a.css'; h1 ~ p { color: red } p { color: blue }</style>"_qs,
        u"<style>@import url(\"a.css\");\np { color: blue }\n</style>"_qs);
    row("the page's frame only where it opens the page",
        u"<html><head><title>t</title></head><body><p>a<html><head><body>b</body></p>c</body></html>"_qs,
        u"<html><head><title>t</title></head><body><p>ab</p>c"_qs);
    row("a million letters after &", u"<p>&"_qs + QString(3000, u'a'), QString());
}

void TestArticle::keepsWhitelistedMarkup() {
    QFETCH(QString, html);
    QFETCH(QString, prepared);
    QString page = html;
    article::PreparePage(page);
    if (prepared.isEmpty()) {  // only that the view gets no reference it would read itself
        QVERIFY(page.startsWith(u"<p>&amp;aaa"_qs));
        QVERIFY(!page.contains(QRegularExpression(QStringLiteral("&(?!(lt|gt|amp|quot);)"))));
        return;
    }
    QCOMPARE(page, prepared);
}

void TestArticle::countsTheTableGrid_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<qint64>("positions");
    QTest::newRow("two by two") << u"<table><tr><td>a<td>b<tr><td>c<td>d</table>"_qs << qint64(4);
    QTest::newRow("a wide cell widens every row")
        << u"<table><tr><td colspan=5>a<tr><td>b<tr><td>c</table>"_qs << qint64(15);
    QTest::newRow("a tall cell takes its columns below")
        << u"<table><tr><td rowspan=3>a<td>b<tr><td>c<tr><td>d</table>"_qs << qint64(6);
    QTest::newRow("a tall cell past the last row")
        << u"<table><tr><td rowspan=4>a</table>"_qs << qint64(4);
    QTest::newRow("tables inside tables add up")
        << u"<table><tr><td><table><tr><td>a<td>b</table><td>c</table>"_qs << qint64(4);
    QTest::newRow("table sections left out, their rows kept")
        << u"<tbody><td>a<td>b<tr><td>c</tbody><td>d"_qs << qint64(4);
    QTest::newRow("wide cells in many rows")
        << u"<table>"_qs + u"<tr><td colspan=20000>x"_qs.repeated(500)
        << qint64(500) * article::kMaxColumnSpan;
}

void TestArticle::countsTheTableGrid() {
    QFETCH(QString, html);
    QFETCH(qint64, positions);
    QCOMPARE(article::PreparePage(html).tableCells, positions);
}

QTEST_MAIN(TestArticle)
void TestArticle::keepsImagesUpToTheLimit_data() {
    QTest::addColumn<int>("images");
    QTest::newRow("none") << 0;
    QTest::newRow("one below the limit") << article::kMaxImages - 1;
    QTest::newRow("the limit") << article::kMaxImages;
    QTest::newRow("one past the limit") << article::kMaxImages + 1;
    QTest::newRow("far past the limit") << article::kMaxImages * 3;
}

// The first kMaxImages images stay; each one past them is left out and counted.
void TestArticle::keepsImagesUpToTheLimit() {
    QFETCH(int, images);
    QString html = QStringLiteral("<p><img src=\"a.png\" alt=x>").repeated(images);
    const article::PageShape shape = article::PreparePage(html);
    const int kept = std::min(images, article::kMaxImages);
    QCOMPARE(shape.images, kept);
    QCOMPARE(shape.imagesLeftOut, images - kept);
    QCOMPARE(html.count(QStringLiteral("<img ")), kept);
}

// The article folder "bio" beside "bio-x", which begins with the same letters.
void TestArticle::folderHoldsOnlyWhatLiesInsideByRealPath() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDir root(dir.path());
    QVERIFY(root.mkpath(QStringLiteral("bio/sub")) && root.mkpath(QStringLiteral("bio-x")));
    for (const char* name : {"bio/page.html", "bio-x/page.html"}) {
        QFile file(root.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    // Wine makes no symbolic links: there the cases about them cannot run.
    const bool linked =
        special_files::MakeLink(root.filePath(QStringLiteral("bio-x/page.html")),
                                root.filePath(QStringLiteral("bio/sibling.html"))) &&
        special_files::MakeLink(root.filePath(QStringLiteral("bio-x")),
                                root.filePath(QStringLiteral("bio/sibling-folder")));
    const QString real = QFileInfo(dir.path()).canonicalFilePath();
    const article::ArticleFolder folder(root.filePath(QStringLiteral("bio")));

    struct Case {
        const char* path;  // relative to the temporary folder
        QString inside;    // the real path, or empty when outside
    };
    const Case cases[] = {
        {"bio", real + QStringLiteral("/bio")},
        {"bio/page.html", real + QStringLiteral("/bio/page.html")},
        {"bio/sub/missing.html", real + QStringLiteral("/bio/sub/missing.html")},
        {"bio/sub/../page.html", real + QStringLiteral("/bio/page.html")},
        {"bio-x", {}},
        {"bio-x/page.html", {}},
        {"bio/../bio-x/page.html", {}},
        {"bio-x/missing.html", {}},
        {"bio/sibling.html", {}},
        {"bio/sibling-folder/page.html", {}},
        {"bio/sibling-folder/missing.html", {}},
    };
    for (const Case& c : cases) {
        const QString path = QString::fromLatin1(c.path);
        if (path.startsWith(QLatin1String("bio/sibling")) && !linked) {
            qWarning("this system makes no symbolic links for this user: %s", c.path);
            continue;
        }
        QCOMPARE(path + QStringLiteral(" -> ") + folder.Inside(root.filePath(path)),
                 path + QStringLiteral(" -> ") + c.inside);
    }
}

#include "test_article.moc"
