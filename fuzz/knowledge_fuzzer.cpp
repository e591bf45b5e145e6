// Feeds arbitrary bytes through everything a knowledge file goes through: decoding,
// splitting, ordering (by ICU's keys and by the characters' weights), the list's own
// load, the line functions and the link rule.
#include <cstddef>
#include <cstdint>
#include <string>

#include "collation.h"
#include "decoding.h"
#include "distinct_lines.h"
#include "errors.h"
#include "phrase_list.h"
#include "phrase_order.h"
#include "text.h"

using namespace dialogue;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    PhraseList list(DefaultCollator());
    try {
        list.LoadBytes(bytes);
    } catch (const DecodeError&) {
        if (list.Count() != 0) __builtin_trap();  // a refused load leaves the list as it was
        return 0;
    }
    // Keyed as large files are (by the characters' weights where they cover every line),
    // the lines keep the same order.
    const std::u16string text = DecodeKnowledgeText(bytes);
    const DistinctLines distinct(text);
    OrderLimits byWeights;
    byWeights.weightsFromLines = 0;
    const PhraseOrder order = OrderPhrases(distinct.Lines(), DefaultCollator(), byWeights);
    if (order.held.size() != list.Count()) __builtin_trap();
    for (std::size_t i = 0; i < list.Count(); ++i) {
        if (distinct.Lines()[order.held[i]] != list.Line(i)) __builtin_trap();
    }
    for (std::size_t i = 0; i < list.Count(); ++i) {
        const std::u16string_view line = list.Line(i);
        if (list.Folded(i) != LowerCase(Trim(line))) __builtin_trap();
        if (i > 0 && DefaultCollator().Compare(list.Line(i - 1), line) >= 0) __builtin_trap();
        const std::u16string_view trimmed = TrimView(line);
        const std::u16string_view answer = GetRight(trimmed);
        if (GetLeft(trimmed).size() + (trimmed.find(u'|') != std::u16string_view::npos ? 1 : 0) +
                answer.size() !=
            trimmed.size()) {
            __builtin_trap();
        }
        if (!answer.empty() && answer.front() == u'$') {
            const LinkedAnswer cut = SplitLink(answer);
            if (cut.link.size() + cut.rest.size() + 2 > answer.size() + 1) __builtin_trap();
            (void)PortLinkSeparators(cut.link);
        }
    }
    return 0;
}
