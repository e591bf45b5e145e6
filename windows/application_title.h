#pragma once
// The application's title, which captions every message box.
#include <QString>

namespace windows {

// The executable's file name up to its first dot, every letter after the first in lower
// case, the first as it is: "TslDemo.exe" gives "Tsldemo", "tsldemo" stays "tsldemo".
QString ApplicationTitleFor(const QString& executablePath);

}  // namespace windows
