#pragma once
// Where a local link clicked in an article may lead: a page inside the article folder opens
// in the viewer; a file that cannot run anything goes to its own program; everything else
// gets our own short page saying why.
#include <QString>

#include "article_folder.h"

namespace article {

// Whether the viewer shows this file itself, judged by its name.
bool IsPagePath(const QString& path);

enum class LinkAction {
    OpenPage,     // in the viewer
    OpenOutside,  // hand to the desktop
    Explain,      // show our own page: heading and text
};

struct LinkDecision {
    LinkAction action = LinkAction::Explain;
    QString path;     // the page or file: for a file handed on, its real path
    QString heading;  // for Explain
    QString text;     // for Explain
};

// A local link whose target path is already resolved against the page it is on.
LinkDecision DecideLocalLink(const ArticleFolder& folder, const QString& path);

// Our own short page for the viewer.
QString OwnPage(const QString& heading, const QString& text, const QString& path);

}  // namespace article
