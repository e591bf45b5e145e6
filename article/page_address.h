#pragma once
// The address at which the viewer shows a page named by a knowledge file's link.
#include <QString>
#include <QUrl>

namespace article {

// A local path as the main window forms it, or a file: address. Links written with
// backslashes and "#anchor" endings are accepted. The path is made absolute and cleaned
// as written: "bio../x" names "x" beside the program's folder even when no "bio.." exists.
QUrl PageAddress(const QString& page);

}  // namespace article
