#pragma once
// The tables of a document Qt's HTML parser built: how deep they nest and how many grid
// positions they have together, to hold against what the page preparation counted.
#include <algorithm>

#include <QTextFrame>
#include <QTextTable>

namespace document_tables {

struct Tables {
    int depth = 0;
    qint64 positions = 0;
};

inline Tables TablesIn(QTextFrame* frame) {
    Tables found;
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* inner = it.currentFrame()) {
            const Tables nested = TablesIn(inner);
            found.depth = std::max(found.depth, nested.depth);
            found.positions += nested.positions;
        }
    }
    if (const auto* table = qobject_cast<QTextTable*>(frame)) {
        ++found.depth;
        found.positions += qint64(table->rows()) * table->columns();
    }
    return found;
}

}  // namespace document_tables
