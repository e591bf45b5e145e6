// Feeds arbitrary bytes through what an article page goes through before the view sees it:
// decoding and preparation. Run with -timeout so that a slow input counts as a finding.
#include <cstddef>
#include <cstdint>

#include <QByteArrayView>
#include <QString>

#include "page_text.h"

using namespace article;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > static_cast<std::size_t>(kMaxPageBytes)) return 0;
    const DecodedPage page =
        DecodePage(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    QString html = page.text;
    const PageShape shape = PreparePage(html);
    if (shape.elementDepth < 0 || shape.tableDepth < 0 || shape.tableDepth > shape.elementDepth)
        __builtin_trap();
    if (shape.images > kMaxImages || shape.nestingWork < shape.elements) __builtin_trap();
    // Escaping and explicit end tags grow a page by a bounded factor only.
    if (html.size() > 8 * page.text.size() + 64) __builtin_trap();
    // What the view gets measures no deeper than what was measured: it is already balanced.
    QString again = html;
    const PageShape second = PreparePage(again);
    if (second.elementDepth > shape.elementDepth || second.tableDepth > shape.tableDepth ||
        second.tableCells > shape.tableCells) {
        __builtin_trap();
    }
    return 0;
}
