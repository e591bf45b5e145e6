#pragma once
// The folder of article pages (the program's "bio"): what lies inside it, judged by real
// paths, symbolic links resolved first.
#include <QString>

namespace article {

class ArticleFolder {
public:
    ArticleFolder() = default;
    explicit ArticleFolder(QString root) : root_(std::move(root)) {}

    const QString& Root() const { return root_; }

    // The path with every symbolic link resolved, when it lies inside the folder; empty
    // otherwise. A path that does not exist is judged by its nearest existing folder. A path
    // holding a control character is never inside: the system would read a NUL as the end
    // of the name and open another file than the one judged here.
    QString Inside(const QString& path) const;

private:
    QString root_;
};

// Whether a decoded path or name holds a character below U+0020, DEL or a C1 control.
bool HasControlCharacter(QStringView path);

}  // namespace article
