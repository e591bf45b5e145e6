#include "phrase_list.h"

#include <algorithm>
#include <cstring>

#include "collation.h"
#include "decoding.h"
#include "knowledge_files.h"
#include "text.h"

namespace dialogue {

namespace {

// A line's place in the sort: the first eight bytes of its key inline, so that most
// comparisons need no second memory access, and where the whole key lies.
struct SortItem {
    std::uint64_t head;
    std::uint32_t line;
    std::uint32_t keyLength;
    std::size_t keyStart;
};

std::uint64_t KeyHead(const std::uint8_t* key, std::size_t length) {
    std::uint64_t head = 0;
    for (std::size_t i = 0; i < 8; ++i) head = (head << 8) | (i < length ? key[i] : 0);
    return head;
}

}  // namespace

PhraseOrder OrderPhrases(const std::vector<std::u16string>& lines, const PhraseCollator& collator) {
    const std::size_t n = lines.size();
    std::vector<std::uint8_t> keys;
    std::vector<SortItem> items(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t start = keys.size();
        collator.AppendSortKey(lines[i], keys);
        items[i] = SortItem{0, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(keys.size() - start), start};
    }
    for (SortItem& item : items) item.head = KeyHead(keys.data() + item.keyStart, item.keyLength);

    auto compare = [&](const SortItem& a, const SortItem& b) {
        if (a.head != b.head) return a.head < b.head ? -1 : 1;
        const int c = std::memcmp(keys.data() + a.keyStart, keys.data() + b.keyStart, std::min(a.keyLength, b.keyLength));
        return c != 0 ? c : (a.keyLength < b.keyLength ? -1 : (a.keyLength > b.keyLength ? 1 : 0));
    };
    // Stable, so that of equal lines the first in the file comes first and is kept.
    std::stable_sort(items.begin(), items.end(), [&](const SortItem& a, const SortItem& b) { return compare(a, b) < 0; });

    PhraseOrder result;
    result.heldFor.resize(n);
    result.held.reserve(n);
    const SortItem* heldItem = nullptr;
    for (const SortItem& item : items) {
        if (heldItem != nullptr && compare(*heldItem, item) == 0) {
            result.heldFor[item.line] = heldItem->line;
        } else {
            heldItem = &item;
            result.held.push_back(item.line);
            result.heldFor[item.line] = item.line;
        }
    }
    return result;
}

SplitLines ParseKnowledgeBytes(std::string_view bytes) {
    return SplitIntoLines(DecodeKnowledgeText(bytes));
}

PhraseList::PhraseList(const PhraseCollator& collator)
    : collator_(collator), entries_(std::make_shared<const std::vector<Entry>>()) {}

void PhraseList::Load(std::u16string_view path) { LoadBytes(ReadKnowledgeFile(path)); }

void PhraseList::LoadBytes(std::string bytes) {
    if (loaded_ && bytes == loadedBytes_) return;

    // Everything that can fail happens before the entries are replaced.
    SplitLines parsed = ParseKnowledgeBytes(bytes);
    const PhraseOrder order = OrderPhrases(parsed.lines, collator_);

    auto entries = std::make_shared<std::vector<Entry>>();
    entries->reserve(order.held.size());
    for (const std::size_t index : order.held) {
        std::u16string& line = parsed.lines[index];
        const std::u16string_view trimmed = TrimView(line);
        const auto trimBegin = static_cast<std::uint32_t>(trimmed.data() - line.data());
        const auto questionLength = static_cast<std::uint32_t>(GetLeft(trimmed).size());
        std::u16string folded = LowerCase(trimmed);
        entries->push_back(Entry{std::move(line), std::move(folded), trimBegin, questionLength});
    }
    entries_ = std::move(entries);
    loadedBytes_ = std::move(bytes);
    loaded_ = true;
}

std::u16string_view PhraseList::Question(std::size_t i) const {
    const Entry& e = (*entries_)[i];
    return std::u16string_view(e.line).substr(e.trimBegin, e.questionLength);
}

std::u16string_view PhraseList::FoldedQuestion(std::size_t i) const {
    // Lower-casing keeps every unit in place, so the question ends where it does in the line.
    const Entry& e = (*entries_)[i];
    return std::u16string_view(e.folded).substr(0, e.questionLength);
}

}  // namespace dialogue
