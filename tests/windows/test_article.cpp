// The article pages' pure functions, without widgets: decoding a page's bytes and
// preparing its markup.
#include <QRegularExpression>
#include <QtTest>

#include "page_fixtures.h"
#include "page_text.h"

using page_fixtures::Cp1251;
using page_fixtures::Utf16;

class TestArticle : public QObject {
    Q_OBJECT
private slots:
    void decodesByMarkDeclarationOrGuess_data();
    void decodesByMarkDeclarationOrGuess();
    void measuresNesting_data();
    void measuresNesting();
    void breaksLongRuns_data();
    void breaksLongRuns();
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
        << QByteArray("\xEF\xBB\xBF<meta charset=\"windows-1251\"><p>") + utf8 << word << QByteArray("utf-8");
    QTest::newRow("UTF-16 LE mark")
        << QByteArray("\xFF\xFE") + Utf16(QStringLiteral("<p>") + word, false) << word << QByteArray("utf-16le");
    QTest::newRow("UTF-16 BE mark")
        << QByteArray("\xFE\xFF") + Utf16(QStringLiteral("<p>") + word, true) << word << QByteArray("utf-16be");
    QTest::newRow("http-equiv declaration")
        << QByteArray("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Windows-1251\"><p>") + cp1251
        << word << QByteArray("windows-1251");
    QTest::newRow("meta charset, single quotes, other than the guess")
        << QByteArray("<head><meta charset='koi8-r' /></head><p>") + koi8r << word << QByteArray("koi8-r");
    QTest::newRow("declaration beats valid UTF-8")
        << QByteArray("<meta charset=windows-1251><p>") + utf8 << QStringLiteral("Р“СЂРёРїРї")
        << QByteArray("windows-1251");
    QTest::newRow("no declaration, valid UTF-8") << QByteArray("<p>") + utf8 << word << QByteArray("utf-8");
    QTest::newRow("no declaration, not UTF-8") << QByteArray("<p>") + cp1251 << word << QByteArray("windows-1251");
    QTest::newRow("ISO-8859-5 under an old alias")
        << QByteArray("<meta charset=ISO_8859-5:1988><p>\xB3\xE0\xD8\xDF\xDF") << word << QByteArray("iso-8859-5");
    QTest::newRow("CP866 declared") << QByteArray("<meta charset=cp866><p>\x83\xE0\xA8\xAF\xAF") << word
                                    << QByteArray("ibm866");
    QTest::newRow("Latin-1 is read as browsers read it")
        << QByteArray("<meta charset=latin1><p>caf\xE9 \x93q\x94") << QStringLiteral("café “q”")
        << QByteArray("windows-1252");
    // Labels the converter knows but no article is written in: an ordinary page stays readable.
    QTest::newRow("EBCDIC label is taken as none")
        << QByteArray("<meta charset=\"ibm-1047\"><p>") + cp1251 << word << QByteArray("windows-1251");
    QTest::newRow("UTF-7 label is taken as none")
        << QByteArray("<meta charset=utf-7><p>") + utf8 << word << QByteArray("utf-8");
    QTest::newRow("Shift_JIS label is taken as none")
        << QByteArray("<meta charset=shift_jis><p>") + cp1251 << word << QByteArray("windows-1251");
    QTest::newRow("unknown charset is guessed")
        << QByteArray("<meta charset=\"x-no-such-thing\"><p>") + cp1251 << word << QByteArray("windows-1251");
    QTest::newRow("declaration in a comment does not count")
        << QByteArray("<!-- <meta charset=koi8-r> --><p>") + cp1251 << word << QByteArray("windows-1251");
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
    QTest::newRow("list items left open") << QStringLiteral("<ul><li>a<li>b<ul><li>c</ul></ul>") << 4 << 0;
    QTest::newRow("rows and cells left open")
        << QStringLiteral("<table><tr><td>a<td>b<tr><th>c<td>d</table><p>e") << 3 << 1;
    QTest::newRow("table in a table")
        << QStringLiteral("<table><tr><td><table><tr><td>x</td></tr></table></td></tr></table>") << 6 << 2;
    QTest::newRow("stray end tags") << QStringLiteral("</div></p><b>x</b></b>") << 1 << 0;
    QTest::newRow("void and self-closing") << QStringLiteral("<br><img src=a><hr/><span/><meta charset=x>") << 0 << 0;
    QTest::newRow("comment, script and style")
        << QStringLiteral("<!-- <table><table> --><script>if (a<b) t='<table>';</script><style>p>b{}</style>") << 0
        << 0;
    QTest::newRow("'>' inside quotes") << QStringLiteral("<a title=\"a>b\" href='c>'><b>x</b></a>") << 2 << 0;
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
    QTest::newRow("long style") << QStringLiteral("<style>p { font-family: %1 }\n</style>").arg(run) << 0;
    QTest::newRow("run split by tags") << QString(800, u'a') + QStringLiteral("<b>") + QString(800, u'b') << 0;
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

QTEST_GUILESS_MAIN(TestArticle)
#include "test_article.moc"
