#include "phrase_entries.h"

#include <algorithm>

#include "collation.h"
#include "phrase_order.h"
#include "text.h"

namespace dialogue {

std::uint64_t PhraseEntries::HeadOf(std::u16string_view folded, std::size_t units) {
    std::uint64_t head = 0;
    for (std::size_t j = 0; j < kHeadUnits; ++j) head = (head << 16) | (j < units ? folded[j] : 0);
    return head;
}

std::shared_ptr<const PhraseEntries> PhraseEntries::From(OrderedFile& file) {
    const std::u16string_view text = file.Text();
    const std::span<const std::u16string_view> lines = file.Lines();
    const ScratchVector<std::size_t>& order = file.Order().held;

    // The units of the held lines: all, less those of the few lines held in another's
    // place, in one pass in the order of the lines.
    const ScratchVector<std::size_t>& heldFor = file.Order().heldFor;
    std::size_t heldUnits = file.Distinct().Units();
    for (std::size_t d = 0; d < lines.size(); ++d)
        if (heldFor[d] != d) heldUnits -= lines[d].size();
    // Repeated lines, blank lines and line breaks can make most of a file; then the held
    // lines are copied rather than the whole text kept.
    const bool copy = 2 * heldUnits < text.size();

    auto built = std::make_shared<PhraseEntries>();
    built->entries_.reserve(order.size());
    built->questionLengths_.reserve(order.size());
    if (copy) built->text_.Reserve(heldUnits);
    // Room for every held line folded: what is not written to takes no memory, and is
    // given back at the end.
    built->folded_.Reserve(heldUnits);
    // The lines are visited in list order, which is all over the text: each line's view and
    // text (its first cache lines and its last unit) are fetched well before they are read,
    // so that the misses overlap.
    constexpr std::size_t kViewAhead = 32;
    constexpr std::size_t kTextAhead = 16;
    constexpr std::size_t kUnitsPerFetch = 64 / sizeof(char16_t);
    for (std::size_t k = 0; k < order.size(); ++k) {
        if (k + kViewAhead < order.size()) __builtin_prefetch(&lines[order[k + kViewAhead]]);
        if (k + kTextAhead < order.size()) {
            const std::u16string_view ahead = lines[order[k + kTextAhead]];
            __builtin_prefetch(ahead.data());
            if (ahead.size() > kUnitsPerFetch) __builtin_prefetch(ahead.data() + kUnitsPerFetch);
            if (ahead.size() > 2 * kUnitsPerFetch)
                __builtin_prefetch(ahead.data() + 2 * kUnitsPerFetch);
            if (!ahead.empty()) __builtin_prefetch(ahead.data() + ahead.size() - 1);
        }
        const std::u16string_view line = lines[order[k]];
        Entry entry;
        const std::u16string_view trimmed = TrimView(line);
        if (copy) {
            entry.lineStart = static_cast<std::uint32_t>(built->text_.Size());
            std::copy(line.begin(), line.end(), built->text_.Extend(line.size()));
        } else {
            entry.lineStart = static_cast<std::uint32_t>(line.data() - text.data());
        }
        entry.lineLength = static_cast<std::uint32_t>(line.size());
        entry.trimBegin = static_cast<std::uint32_t>(trimmed.data() - line.data());
        entry.trimmedLength = static_cast<std::uint32_t>(trimmed.size());
        entry.questionLength = static_cast<std::uint32_t>(GetLeft(trimmed).size());
        const std::size_t headUnits = std::min(trimmed.size(), kHeadUnits);
        entry.foldedStart = kFoldedInText;
        entry.foldedHead = HeadOf(trimmed, headUnits);
        // Only a line that changes is folded: a long line that does not would otherwise
        // fill as much memory again for nothing.
        if (ChangesInLowerCase(trimmed)) {
            entry.foldedStart = static_cast<std::uint32_t>(built->folded_.Size());
            char16_t* const folded = built->folded_.Extend(trimmed.size());
            LowerCaseInto(trimmed, folded);
            entry.foldedHead = HeadOf(std::u16string_view(folded, trimmed.size()), headUnits);
        }
        built->entries_.push_back(entry);
        built->questionLengths_.push_back(entry.questionLength);
    }
    built->folded_.ShrinkToFit();
    // The lines' offsets are taken: the text may move now.
    if (!copy) built->text_ = file.TakeText();
    return built;
}

std::u16string_view PhraseEntries::Line(std::size_t i) const {
    const Entry& e = entries_[i];
    return text_.View().substr(e.lineStart, e.lineLength);
}

std::u16string_view PhraseEntries::Folded(std::size_t i) const {
    const Entry& e = entries_[i];
    if (e.foldedStart == kFoldedInText) return Line(i).substr(e.trimBegin, e.trimmedLength);
    return folded_.View().substr(e.foldedStart, e.trimmedLength);
}

bool PhraseEntries::FoldedBeginsWith(std::size_t i, std::u16string_view prefix) const {
    const Entry& e = entries_[i];
    const std::size_t compared = std::min(prefix.size(), kHeadUnits);
    if (e.trimmedLength >= compared) {
        const unsigned shift = static_cast<unsigned>(16 * (kHeadUnits - compared));
        const std::uint64_t mask = compared == 0 ? 0 : ~std::uint64_t{0} << shift;
        if ((e.foldedHead & mask) != HeadOf(prefix, compared)) return false;
        if (prefix.size() <= kHeadUnits) return true;
    }
    return BeginsWith(Folded(i), prefix);
}

std::u16string_view PhraseEntries::Question(std::size_t i) const {
    const Entry& e = entries_[i];
    return Line(i).substr(e.trimBegin, e.questionLength);
}

std::u16string_view PhraseEntries::FoldedQuestion(std::size_t i) const {
    // Lower-casing keeps every unit in place, so the question ends where it does in the line.
    const Entry& e = entries_[i];
    return Folded(i).substr(0, e.questionLength);
}

long PhraseEntries::FirstWithFoldedQuestion(std::u16string_view key) const {
    for (std::size_t i = 0; i < questionLengths_.size(); ++i) {
        if (questionLengths_[i] == key.size() && SameText(FoldedQuestion(i), key))
            return static_cast<long>(i);
    }
    return -1;
}

}  // namespace dialogue
