#include "phrase_entries.h"

#include "phrase_order.h"
#include "text.h"

namespace dialogue {

std::shared_ptr<const PhraseEntries> PhraseEntries::From(const OrderedFile& file) {
    const std::vector<std::u16string_view>& lines = file.Lines();
    const std::vector<std::size_t>& order = file.Order().held;

    auto built = std::make_shared<PhraseEntries>();
    std::size_t units = 0;
    for (const std::size_t index : order) units += lines[index].size();
    built->text_.reserve(units);
    built->folded_.reserve(units);
    built->entries_.reserve(order.size());
    // The lines are visited in sorted order, all over the text: their memory is asked for
    // well before it is needed, the view a little earlier than the text it points to.
    constexpr std::size_t kViewAhead = 32;
    constexpr std::size_t kTextAhead = 16;
    for (std::size_t k = 0; k < order.size(); ++k) {
        if (k + kViewAhead < order.size()) __builtin_prefetch(&lines[order[k + kViewAhead]]);
        if (k + kTextAhead < order.size()) __builtin_prefetch(lines[order[k + kTextAhead]].data());
        const std::size_t index = order[k];
        const std::u16string_view line = lines[index];
        const std::u16string_view trimmed = TrimView(line);
        Entry entry{};
        entry.lineStart = static_cast<std::uint32_t>(built->text_.size());
        entry.lineLength = static_cast<std::uint32_t>(line.size());
        entry.foldedStart = static_cast<std::uint32_t>(built->folded_.size());
        entry.trimBegin = static_cast<std::uint32_t>(trimmed.data() - line.data());
        entry.trimmedLength = static_cast<std::uint32_t>(trimmed.size());
        entry.questionLength = static_cast<std::uint32_t>(GetLeft(trimmed).size());
        built->text_ += line;
        AppendLowerCase(trimmed, built->folded_);
        built->entries_.push_back(entry);
    }
    return built;
}

std::u16string_view PhraseEntries::Line(std::size_t i) const {
    const Entry& e = entries_[i];
    return std::u16string_view(text_).substr(e.lineStart, e.lineLength);
}

std::u16string_view PhraseEntries::Folded(std::size_t i) const {
    const Entry& e = entries_[i];
    return std::u16string_view(folded_).substr(e.foldedStart, e.trimmedLength);
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

}  // namespace dialogue
