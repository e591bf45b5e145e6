#pragma once
// Reading an article page for the viewer: only a regular file within the size limit,
// decoded and prepared, or our own page saying why not.
#include <QString>

#include "page_text.h"

namespace windows {

using article::DeclaredCharset;
using article::DecodedPage;
using article::DecodePage;
using article::kMaxElementDepth;
using article::kMaxPageBytes;
using article::kMaxTableDepth;
using article::kMaxUnbrokenRun;
using article::PageShape;
using article::PreparePage;

enum class PageStatus { Loaded, Missing, Unreadable, Refused };

struct LoadedPage {
    PageStatus status = PageStatus::Missing;
    QString html;     // the page, or our own page telling what went wrong
    QString message;  // why a refused page is not shown, for the error report
    PageShape shape;
};

// Reads the page only if it is a regular file (never blocking on a FIFO or device) of at
// most kMaxPageBytes, decodes and prepares it.
LoadedPage LoadPage(const QString& path);

}  // namespace windows
