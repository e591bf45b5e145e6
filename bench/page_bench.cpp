// Showing article pages of up to 1 MiB in the viewer's HTML view, hostile ones against an
// ordinary article of the same size: reading, preparing, parsing, layout and painting the
// first screen, or refusing the page. Every page must be shown or refused within 2 s;
// the ratios to the ordinary article are what a faster or slower machine keeps.
#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>

#include "article_browser.h"

namespace {

constexpr qsizetype kPageSize = 1024 * 1024 - 4096;

// A program's article folder with a picture, a FIFO and a 300 MB sparse image.
class ArticleFolder {
public:
    ArticleFolder() {
        QDir(dir_.path()).mkdir(QStringLiteral("bio"));
        QImage dot(16, 16, QImage::Format_RGB32);
        dot.fill(Qt::red);
        dot.save(Bio() + QStringLiteral("/dot.png"));
        ::mkfifo(QFile::encodeName(Bio() + QStringLiteral("/fifo.png")).constData(), 0644);
        QFile huge(Bio() + QStringLiteral("/huge.png"));
        if (!huge.open(QIODevice::WriteOnly) || !huge.resize(300LL * 1024 * 1024)) std::abort();
        QByteArray big;
        while (big.size() < 8 * 1024 * 1024 - 64) big += "p { color: #123456; margin: 1px } ";
        Write(QStringLiteral("big.css"), big);
        Write(QStringLiteral("mega.css"),
              QByteArray("p { color: red; margin: 2px } ").repeated(35000));
    }
    QString Bio() const { return dir_.filePath(QStringLiteral("bio")); }
    QString Write(const QString& name, const QByteArray& bytes) const {
        const QString path = Bio() + u'/' + name;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::abort();
        return path;
    }

private:
    QTemporaryDir dir_;
};

const ArticleFolder& Folder() {
    static const ArticleFolder folder;
    return folder;
}

// The sample articles' markup, one after another, up to the size.
QByteArray OrdinaryArticle() {
    const QDir bio(QStringLiteral(TSL_SOURCE_DIR "/data/bio"));
    QString head;
    QString bodies;
    for (const QString& name : bio.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
        QFile file(bio.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) std::abort();
        const QString page = QString::fromUtf8(file.readAll());
        const qsizetype bodyStart = page.indexOf(QStringLiteral("<body"));
        const qsizetype bodyEnd = page.indexOf(QStringLiteral("</body>"));
        if (head.isEmpty()) head = page.left(page.indexOf(u'>', bodyStart) + 1);
        bodies += page.mid(bodyStart, bodyEnd - bodyStart)
                      .remove(QRegularExpression(QStringLiteral("^<body[^>]*>")));
    }
    QByteArray bytes = head.toUtf8();
    const QByteArray body = bodies.toUtf8();
    while (bytes.size() + body.size() < kPageSize) bytes += body;
    return bytes + "</body></html>";
}

QByteArray Filled(const QByteArray& start, const QByteArray& unit, const QByteArray& end = {}) {
    QByteArray bytes = start;
    while (bytes.size() + unit.size() + end.size() <= kPageSize) bytes += unit;
    return bytes + end;
}

QByteArray Repeated(const QByteArray& unit, int times) { return unit.repeated(times); }

struct Case {
    const char* name;
    std::function<QByteArray()> page;
};

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases{
        {"OrdinaryArticle", OrdinaryArticle},
        {"QuadraticEndTags", [] { return Repeated("<i>", 149000) + Repeated("</b>", 149000); }},
        {"NestedTablesBlankAfterLt", [] { return Repeated("< table border=1><tr><td>x", 18); }},
        {"NestedTablesAtLimit",
         [] { return Repeated("<table border=1><tr><td>x", windows::kMaxTableDepth); }},
        {"DeepNestingAtLimit",
         [] { return Filled(Repeated("<div>", windows::kMaxElementDepth - 1), "x "); }},
        {"DeepNestingFilledWithElements",
         [] { return Filled(Repeated("<div>", windows::kMaxElementDepth), "<b>x</b>"); }},
        {"NestingWorkAtLimit",
         [] {
             return Repeated("<div>", windows::kMaxElementDepth - 1) + Repeated("<b>x</b>", 24500);
         }},
        {"StrayEndTagsAtDepthLimit",
         [] { return Filled(Repeated("<b>", windows::kMaxElementDepth), "</i>"); }},
        {"LongUnbrokenText", [] { return QByteArray(kPageSize, 'w'); }},
        {"ManyImagesSame", [] { return Filled({}, "<img src=\"dot.png\">"); }},
        {"ManyImagesMissing",
         [] {
             QByteArray bytes;
             for (int i = 0; bytes.size() < kPageSize - 64; ++i)
                 bytes += "<img src=\"m" + QByteArray::number(i) + ".png\">";
             return bytes;
         }},
        {"HostileResources",
         [] {
             return Filled(
                 "<link rel=stylesheet type=\"text/css\" href=\"/dev/urandom\">"
                 "<img src=\"/dev/zero\"><img src=\"/dev/urandom\"><img src=\"fifo.png\">"
                 "<img src=\"huge.png\">",
                 "<p>text</p>");
         }},
        {"StrayCells", [] { return Filled({}, "<td>x"); }},
        {"CellsAtLimit", [] { return Repeated("<td>x", int(article::kMaxTableCells)); }},
        {"CellsInNestedTablesAndLongText",
         [] {
             return Filled(
                 Repeated("<table border=1><tr><td>x", windows::kMaxTableDepth) +
                     Repeated("<td>x", int(article::kMaxTableCells) - windows::kMaxTableDepth),
                 "w");
         }},
        {"LongTextInATable", [] { return Filled("<table border=1><tr><td>", "w"); }},
        {"OrdinaryArticleInTwoTables",
         [] { return "<table><tr><td><table><tr><td>" + OrdinaryArticle(); }},
        {"TextAtTheLayoutLimitInNestedTables",
         [] {
             return Repeated("<table border=1><tr><td>", windows::kMaxTableDepth) +
                    QByteArray(
                        article::kMaxLayoutWork / 2 / qint64(std::pow(3, windows::kMaxTableDepth)),
                        'w');
         }},
        {"NestingAndTextNearTheirLimits",
         [] {
             return Filled("<table border=1><tr><td>" +
                               Repeated("<div>", windows::kMaxElementDepth - 4) +
                               Repeated("<b>x</b>", 24000),
                           "w");
         }},
        {"StyledNestingAndTextNearTheirLimits",
         [] {
             return Filled("<style>" + Repeated("b{color:red}", 40) +
                               "</style><table border=1><tr><td>" + Repeated("<div>", 96) +
                               Repeated("<b>x</b>", 9000),
                           "w");
         }},
        {"StyleRulesAtLimit",
         [] {
             return "<style>" + Repeated("p{color:red}", 999) + "</style>" + Repeated("<p>a", 999);
         }},
        // Pages that passed the limits above and then kept the view's parser or layout busy
        // for minutes before their markup was kept to what articles need.
        {"ImageMillionsOfPixelsHigh",
         [] { return QByteArray("<p>x</p><img src=\"dot.png\" height=\"9000000\">"); }},
        {"HundredImagesOf100000Pixels",
         [] { return Repeated("<img src=\"dot.png\" width=100000 height=100000>", 100); }},
        {"SiblingSelectorOver10000Paragraphs",
         [] {
             return "<style>h1 ~ p { color: red }</style><h1>x</h1>" + Repeated("<p>a</p>", 10000);
         }},
        {"RuleOf20000DeclarationsOver20000Paragraphs",
         [] {
             QByteArray declarations;
             for (int i = 0; i < 20000; ++i)
                 declarations += "color: #" + QByteArray::number(0x100000 + i, 16) + ";";
             return "<style>p {" + declarations + "}</style>" + Repeated("<p>a</p>", 20000);
         }},
        {"Sheet8MiBOver2000Paragraphs",
         [] {
             return "<link rel=stylesheet type=\"text/css\" href=\"big.css\">" +
                    Repeated("<p>a</p>", 2000);
         }},
        {"ImportsOf1MBSheet2000Times",
         [] {
             QByteArray imports;
             for (int i = 0; i < 2000; ++i)
                 imports += "@import url(\"mega.css?" + QByteArray::number(i) + "\");\n";
             return "<style>" + imports + "</style>" + Repeated("<p>a</p>", 100);
         }},
        {"ColumnSpans20000In500Rows",
         [] {
             return "<table>" + Repeated("<tr><td colspan=20000>x</td></tr>", 500) + "</table>";
         }},
        {"RowSpans20000In500Rows",
         [] {
             return "<table>" + Repeated("<tr><td rowspan=20000>x</td></tr>", 500) + "</table>";
         }},
        {"AmpersandBeforeAMillionLetters",
         [] { return "<p>&" + QByteArray(1000000, 'a') + "</p>"; }},
    };
    return cases;
}

void ShowPage(benchmark::State& state, const Case& c) {
    const QString path =
        Folder().Write(QString::fromLatin1(c.name) + QStringLiteral(".html"), c.page());
    const QUrl url = QUrl::fromLocalFile(path);
    bool refused = false;
    for (auto _ : state) {
        windows::ArticleBrowser browser;
        browser.SetArticleFolder(Folder().Bio());
        browser.resize(800, 560);
        windows::LoadedPage page = windows::LoadPage(path);
        refused = page.status == windows::PageStatus::Refused;
        if (!refused) {
            browser.Open(url, std::move(page.html), page.shape);
            benchmark::DoNotOptimize(browser.document()->documentLayout()->documentSize());
            benchmark::DoNotOptimize(browser.viewport()->grab());
        }
    }
    state.SetLabel(refused ? "refused" : "shown");
}

// Prints as usual and remembers the mean time of each benchmark for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;
    std::vector<std::string> order;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                order.push_back(run.benchmark_name());
                seconds[run.benchmark_name()] =
                    run.real_accumulated_time / static_cast<double>(run.iterations);
            }
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (const Case& c : Cases()) {
        benchmark::RegisterBenchmark((std::string("ShowPage/") + c.name).c_str(),
                                     [&c](benchmark::State& state) { ShowPage(state, c); })
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto base = reporter.seconds.find("ShowPage/OrdinaryArticle");
    if (base == reporter.seconds.end() || base->second <= 0) return 0;
    std::printf("\n%-45s %10s %12s\n", "page (1 MiB at most)", "ms", "/ ordinary");
    for (const std::string& name : reporter.order) {
        const double s = reporter.seconds[name];
        std::printf("%-45s %10.1f %12.2f%s\n", name.c_str(), s * 1000, s / base->second,
                    s > 2.0 ? "  OVER 2 s" : "");
    }
    return 0;
}
