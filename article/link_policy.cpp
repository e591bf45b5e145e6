#include "link_policy.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>

#include "file_reading.h"

namespace article {

namespace {

// Enough for every content rule the MIME database uses on the types that matter here.
constexpr qint64 kSniffBytes = 16 * 1024;

// Types whose programs show a file and run nothing from it. SVG is an image that may carry
// scripts, so it is not among them.
bool IsInert(const QMimeType& type) {
    const QString name = type.name();
    if (name.startsWith(u"image/svg")) return false;
    return name.startsWith(u"image/") || name.startsWith(u"audio/") || name.startsWith(u"video/") ||
           name == u"application/pdf" || name == u"text/plain";
}

LinkDecision Explain(const QString& path, const QString& heading, const QString& text) {
    return {LinkAction::Explain, path, heading, text};
}

}  // namespace

bool IsPagePath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix.isEmpty() || suffix == u"html" || suffix == u"htm" || suffix == u"shtml" ||
           suffix == u"xhtml" || suffix == u"txt";
}

LinkDecision DecideLocalLink(const ArticleFolder& folder, const QString& path) {
    if (HasControlCharacter(path)) {
        return Explain(
            path, QStringLiteral("Ссылка не открыта"),
            QStringLiteral("В имени файла, на который ведёт ссылка, есть управляющий символ:"));
    }
    const QString real = folder.Inside(path);
    if (real.isEmpty()) {
        return Explain(
            path, QStringLiteral("Ссылка не открыта"),
            QStringLiteral("Ссылка ведёт за пределы папки статей, поэтому она не открывается:"));
    }
    if (IsPagePath(path)) return {LinkAction::OpenPage, path, {}, {}};

    const QString notOpened = QStringLiteral("Файл не открыт");
    const FileRead head = ReadFileHead(real, kSniffBytes);
    switch (head.status) {
    case FileStatus::Read:
    case FileStatus::TooLarge:
        break;
    case FileStatus::Missing:
        return Explain(path, QStringLiteral("Файл не найден"),
                       QStringLiteral("Файла, на который ведёт ссылка, нет на диске:"));
    case FileStatus::NotRegular:
        return Explain(path, notOpened, QStringLiteral("Ссылка ведёт не на обычный файл:"));
    case FileStatus::Unreadable:
        return Explain(path, notOpened, QStringLiteral("Не удалось прочитать файл:"));
    }
    if (IsExecutableFile(real)) {
        return Explain(
            path, notOpened,
            QStringLiteral("Это исполняемый файл; из статьи такие файлы не запускаются:"));
    }
    const QMimeDatabase types;
    const QMimeType byName = types.mimeTypeForFile(real, QMimeDatabase::MatchExtension);
    const QMimeType byContent = types.mimeTypeForData(head.bytes);
    if (!IsInert(byName) || !IsInert(byContent)) {
        const QMimeType shown = IsInert(byName) ? byContent : byName;
        return Explain(
            path, notOpened,
            QStringLiteral("Из статьи открываются только изображения, PDF, текст, звук и видео; "
                           "этот файл другого типа (%1):")
                .arg(shown.name().toHtmlEscaped()));
    }
    return {LinkAction::OpenOutside, real, {}, {}};
}

QString OwnPage(const QString& heading, const QString& text, const QString& path) {
    QString shown = QDir::toNativeSeparators(path);
    for (QChar& c : shown) {
        if (c.category() == QChar::Other_Control) c = QChar::ReplacementCharacter;
    }
    return QStringLiteral(
               "<html><head><title>%1</title></head><body>"
               "<h2>%1</h2><p>%2</p><p><code>%3</code></p></body></html>")
        .arg(heading, text, shown.toHtmlEscaped());
}

}  // namespace article
