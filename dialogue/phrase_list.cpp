#include "phrase_list.h"

#include <cerrno>
#include <new>

#include "decoding.h"
#include "errors.h"
#include "knowledge_files.h"
#include "memory_budget.h"
#include "text.h"

namespace dialogue {

SplitLines ParseKnowledgeBytes(std::string_view bytes) {
    return SplitIntoLines(DecodeKnowledgeText(bytes));
}

PhraseList::PhraseList(const PhraseCollator& collator)
    : collator_(collator), held_(std::make_shared<const Held>()) {}

void PhraseList::Load(std::u16string_view path) {
    std::string bytes = ReadKnowledgeFile(path);
    try {
        LoadBytes(std::move(bytes));
    } catch (const OutOfMemoryError&) {
        throw OpenErrorFor(path, ENOMEM);
    }
}

void PhraseList::LoadBytes(std::string bytes) {
    if (loaded_ && bytes == loadedBytes_) return;
    // Everything that can fail happens before the held lines are replaced.
    try {
        held_ = Build(bytes);
    } catch (const std::bad_alloc&) {
        throw OutOfMemoryError();
    }
    loadedBytes_ = std::move(bytes);
    loaded_ = true;
}

std::shared_ptr<const PhraseList::Held> PhraseList::Build(std::string_view bytes) const {
    const OrderedFile file(bytes, collator_, memoryLimit_ ? *memoryLimit_ : AvailableMemory());
    const std::vector<std::u16string_view>& lines = file.Lines();
    const std::vector<std::size_t>& order = file.Order().held;

    auto held = std::make_shared<Held>();
    std::size_t units = 0;
    for (const std::size_t index : order) units += lines[index].size();
    held->text.reserve(units);
    held->folded.reserve(units);
    held->entries.reserve(order.size());
    for (const std::size_t index : order) {
        const std::u16string_view line = lines[index];
        const std::u16string_view trimmed = TrimView(line);
        Entry entry{};
        entry.lineStart = static_cast<std::uint32_t>(held->text.size());
        entry.lineLength = static_cast<std::uint32_t>(line.size());
        entry.foldedStart = static_cast<std::uint32_t>(held->folded.size());
        entry.trimBegin = static_cast<std::uint32_t>(trimmed.data() - line.data());
        entry.trimmedLength = static_cast<std::uint32_t>(trimmed.size());
        entry.questionLength = static_cast<std::uint32_t>(GetLeft(trimmed).size());
        held->text += line;
        AppendLowerCase(trimmed, held->folded);
        held->entries.push_back(entry);
    }
    return held;
}

std::u16string_view PhraseList::Line(std::size_t i) const {
    const Entry& e = held_->entries[i];
    return std::u16string_view(held_->text).substr(e.lineStart, e.lineLength);
}

std::u16string_view PhraseList::Folded(std::size_t i) const {
    const Entry& e = held_->entries[i];
    return std::u16string_view(held_->folded).substr(e.foldedStart, e.trimmedLength);
}

std::u16string_view PhraseList::Question(std::size_t i) const {
    const Entry& e = held_->entries[i];
    return Line(i).substr(e.trimBegin, e.questionLength);
}

std::u16string_view PhraseList::FoldedQuestion(std::size_t i) const {
    // Lower-casing keeps every unit in place, so the question ends where it does in the line.
    const Entry& e = held_->entries[i];
    return Folded(i).substr(0, e.questionLength);
}

}  // namespace dialogue
