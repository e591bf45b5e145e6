// The files a desktop reads about the program agree with each other and with the program:
// the desktop entry, the AppStream metadata and the icons in every size.
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QMap>
#include <QTest>
#include <QUrl>
#include <QXmlStreamReader>

#include "Unit1.h"

namespace {

const QString kId = QStringLiteral(TSL_APP_ID);

QString SourcePath(const QString& relative) {
    return QStringLiteral(TSL_SOURCE_DIR "/") + relative;
}

// The keys of the desktop entry's main group.
QMap<QString, QString> DesktopEntry() {
    QMap<QString, QString> keys;
    QFile file(SourcePath(QStringLiteral("packaging/%1.desktop").arg(kId)));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return keys;
    bool main = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) main = line == u"[Desktop Entry]";
        const qsizetype equals = line.indexOf(u'=');
        if (main && equals > 0) keys.insert(line.left(equals), line.mid(equals + 1));
    }
    return keys;
}

// Text of the metainfo's elements by name (the untranslated one where there are several),
// and every screenshot's image address.
struct Metainfo {
    QMap<QString, QString> text;
    QStringList screenshots;
    QStringList releases;
    bool wellFormed = false;
};

Metainfo ReadMetainfo() {
    Metainfo info;
    QFile file(SourcePath(QStringLiteral("packaging/%1.metainfo.xml").arg(kId)));
    if (!file.open(QIODevice::ReadOnly)) return info;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const QString name = xml.name().toString();
        const bool translated = xml.attributes().hasAttribute(QStringLiteral("xml:lang"));
        if (name == u"release")
            info.releases << xml.attributes().value(QStringLiteral("version")).toString();
        if (name == u"url") {
            const QString type = xml.attributes().value(QStringLiteral("type")).toString();
            info.text.insert(QStringLiteral("url:") + type, xml.readElementText());
        } else if (name == u"image") {
            info.screenshots << xml.readElementText();
        } else if (name == u"content_rating") {
            info.text.insert(name, xml.attributes().value(QStringLiteral("type")).toString());
        } else if (!translated && (name == u"launchable" || name == u"icon" || name == u"id" ||
                                   name == u"developer_name")) {
            info.text.insert(name, xml.readElementText());
        }
    }
    info.wellFormed = !xml.hasError();
    return info;
}

}  // namespace

class DesktopFilesTest : public QObject {
    Q_OBJECT

private slots:
    void desktopEntryNamesTheProgram() {
        const QMap<QString, QString> entry = DesktopEntry();
        QVERIFY2(!entry.isEmpty(), "the desktop entry is named after the id");
        QCOMPARE(entry.value(QStringLiteral("Exec")), QStringLiteral("tsldemo"));
        QCOMPARE(entry.value(QStringLiteral("Icon")), kId);
        // On X11 the window's class is the executable's name.
        QCOMPARE(entry.value(QStringLiteral("StartupWMClass")), QStringLiteral("tsldemo"));
        QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Целитор"));
    }

    void metainfoAgreesWithTheEntry() {
        const Metainfo info = ReadMetainfo();
        QVERIFY(info.wellFormed);
        QCOMPARE(info.text.value(QStringLiteral("id")), kId);
        QCOMPARE(info.text.value(QStringLiteral("launchable")), kId + QStringLiteral(".desktop"));
        QCOMPARE(info.text.value(QStringLiteral("icon")), kId);
        QCOMPARE(info.text.value(QStringLiteral("developer_name")),
                 QStringLiteral("Проект «Целитор»"));
        QCOMPARE(info.text.value(QStringLiteral("url:homepage")),
                 QStringLiteral("https://celitor.example/"));
        QCOMPARE(info.text.value(QStringLiteral("content_rating")), QStringLiteral("oars-1.1"));
        QVERIFY(info.releases.contains(QStringLiteral("1.0")));
    }

    // Each screenshot is one of the README's, on the project's own site.
    void screenshotsAreTheReadmes() {
        const Metainfo info = ReadMetainfo();
        QCOMPARE(info.screenshots.size(), 3);
        for (const QString& address : info.screenshots) {
            const QUrl url(address);
            QCOMPARE(url.scheme(), QStringLiteral("https"));
            QCOMPARE(url.host(), QStringLiteral("celitor.example"));
            const QString file = QStringLiteral("docs/screenshots/") + url.fileName();
            QVERIFY2(QFileInfo::exists(SourcePath(file)), qPrintable(file));
        }
    }

    void iconSizes_data() {
        QTest::addColumn<int>("size");
        for (int size : {16, 24, 32, 48, 64, 128, 256}) QTest::addRow("%d", size) << size;
    }

    // Square, of its folder's size, transparent around the round picture.
    void iconSizes() {
        QFETCH(int, size);
        const QString path =
            SourcePath(QStringLiteral("packaging/icons/%1/%2.png").arg(size).arg(kId));
        const QImage icon(path);
        QVERIFY2(!icon.isNull(), qPrintable(path));
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(icon.hasAlphaChannel());
        const int last = size - 1;
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
            QCOMPARE(qAlpha(icon.pixel(corner)), 0);
        QCOMPARE(qAlpha(icon.pixel(size / 2, size / 2)), 255);
    }

    void scalableIconHasNoBackground() {
        QFile svg(SourcePath(QStringLiteral("packaging/icons/%1.svg").arg(kId)));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(!svg.readAll().contains("<rect"));
    }

    // The windows keep their own 90 x 90 picture.
    void windowsKeepTheirIcon() {
        const QIcon icon = windows::ProgramIcon();
        QCOMPARE(icon.availableSizes(), QList<QSize>{QSize(90, 90)});
    }
};

QTEST_MAIN(DesktopFilesTest)
#include "test_desktop_files.moc"
