#include "page_loading.h"

#include <utility>

#include <QDir>

#include "file_reading.h"
#include "link_policy.h"

namespace windows {

LoadedPage LoadPage(const QString& path) {
    using article::FileStatus;
    using article::OwnPage;
    const article::FileRead read = article::ReadRegularFile(path, kMaxPageBytes);
    const LoadedPage unreadable{PageStatus::Unreadable,
                                OwnPage(QStringLiteral("Страница не открывается"),
                                        QStringLiteral("Не удалось прочитать файл статьи:"), path),
                                {},
                                {}};
    const auto refused = [&](const QString& why) {
        const QString message = why + QStringLiteral(": ") + QDir::toNativeSeparators(path);
        return LoadedPage{
            PageStatus::Refused,
            OwnPage(QStringLiteral("Страница не показана"), why.toHtmlEscaped() + u':', path),
            message,
            {}};
    };
    switch (read.status) {
    case FileStatus::Read:
        break;
    case FileStatus::Missing:
        return {PageStatus::Missing,
                OwnPage(QStringLiteral("Страница не найдена"),
                        QStringLiteral("Файла статьи нет на диске:"), path),
                {},
                {}};
    case FileStatus::TooLarge:
        return refused(QStringLiteral("Страница слишком велика для просмотра (больше %1 МБ)")
                           .arg(kMaxPageBytes / (1024 * 1024)));
    case FileStatus::NotRegular:
    case FileStatus::Unreadable:
        return unreadable;
    }
    QString html = DecodePage(read.bytes).text;
    const PageShape shape = PreparePage(html);
    if (shape.TooComplex())
        return refused(QStringLiteral("Разметка страницы слишком сложна для просмотра"));
    // An empty document would make the view complain on the console and keep nothing.
    if (html.isEmpty()) html = QStringLiteral("<html><body></body></html>");
    return {PageStatus::Loaded, std::move(html), {}, shape};
}

}  // namespace windows
