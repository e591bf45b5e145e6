#include "phrase_list.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "collation.h"
#include "decoding.h"
#include "knowledge_files.h"
#include "text.h"

namespace dialogue {

PhraseOrder OrderPhrases(const std::vector<std::u16string>& lines, const PhraseCollator& collator) {
    const std::size_t n = lines.size();
    std::vector<std::uint8_t> keys;
    std::vector<std::size_t> keyStart(n + 1);
    for (std::size_t i = 0; i < n; ++i) {
        keyStart[i] = keys.size();
        collator.AppendSortKey(lines[i], keys);
    }
    keyStart[n] = keys.size();

    auto key = [&](std::size_t i) {
        return std::basic_string_view<std::uint8_t>(keys.data() + keyStart[i], keyStart[i + 1] - keyStart[i]);
    };
    auto compare = [&](std::size_t a, std::size_t b) {
        const auto ka = key(a);
        const auto kb = key(b);
        const int c = std::memcmp(ka.data(), kb.data(), std::min(ka.size(), kb.size()));
        return c != 0 ? c : (ka.size() < kb.size() ? -1 : (ka.size() > kb.size() ? 1 : 0));
    };

    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    // Stable, so that of equal lines the first in the file comes first and is kept.
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return compare(a, b) < 0; });

    PhraseOrder result;
    result.heldFor.resize(n);
    result.held.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t line = order[i];
        if (!result.held.empty() && compare(result.held.back(), line) == 0) {
            result.heldFor[line] = result.held.back();
        } else {
            result.held.push_back(line);
            result.heldFor[line] = line;
        }
    }
    return result;
}

SplitLines ParseKnowledgeBytes(std::string_view bytes) {
    return SplitIntoLines(DecodeKnowledgeText(bytes));
}

PhraseList::PhraseList(const PhraseCollator& collator) : collator_(collator) {}

void PhraseList::Load(std::u16string_view path) { LoadBytes(ReadKnowledgeFile(path)); }

void PhraseList::LoadBytes(std::string bytes) {
    if (loaded_ && bytes == loadedBytes_) return;

    // Everything that can fail happens before the entries are replaced.
    SplitLines parsed = ParseKnowledgeBytes(bytes);
    const PhraseOrder order = OrderPhrases(parsed.lines, collator_);

    std::vector<Entry> entries;
    entries.reserve(order.held.size());
    for (const std::size_t index : order.held) {
        std::u16string& line = parsed.lines[index];
        const std::u16string_view trimmed = TrimView(line);
        const auto trimBegin = static_cast<std::uint32_t>(trimmed.data() - line.data());
        const auto questionLength = static_cast<std::uint32_t>(GetLeft(trimmed).size());
        std::u16string folded = LowerCase(trimmed);
        entries.push_back(Entry{std::move(line), std::move(folded), trimBegin, questionLength});
    }
    entries_ = std::move(entries);
    loadedBytes_ = std::move(bytes);
    loaded_ = true;
}

std::u16string_view PhraseList::Question(std::size_t i) const {
    const Entry& e = entries_[i];
    return std::u16string_view(e.line).substr(e.trimBegin, e.questionLength);
}

}  // namespace dialogue
