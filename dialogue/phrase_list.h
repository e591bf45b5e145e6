#pragma once
// The phrase list: the lines of the knowledge file loaded last, sorted by the
// case-insensitive order without entries that order calls equal.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "line_splitting.h"
#include "phrase_entries.h"
#include "recent_lists.h"
#include "phrase_order.h"

namespace dialogue {

class PhraseCollator;

// Decodes and splits a file's bytes: the lines as the file holds them, as copies.
SplitLines ParseKnowledgeBytes(std::string_view bytes);

class PhraseList {
public:
    explicit PhraseList(const PhraseCollator& collator);

    // Replaces the content with the lines of the file at path. On any failure (the file
    // cannot be read or decoded, or its lines would not fit in memory) the list keeps its
    // lines and a FileOpenError or DecodeError propagates.
    void Load(std::u16string_view path);
    // The same for bytes already read, kept under key (the path): when they equal those of
    // the last load, or those of a recent load of key, the list parsed then is used as it
    // is. Throws DecodeError or OutOfMemoryError.
    void LoadBytes(std::string bytes, std::u16string_view key = {});

    // The memory a load may take, in place of what the system has available.
    void LimitMemory(std::size_t bytes) { memoryLimit_ = bytes; }

    // The lists of recently loaded files besides the current one take at most this much
    // memory together (kRecentListsBudget unless set); the least recently used go first.
    static constexpr std::size_t kRecentListsBudget = std::size_t{256} << 20;
    void LimitRecentLists(std::size_t bytes) { recent_.SetBudget(bytes); }
    const RecentLists& Recent() const { return recent_; }

    std::size_t Count() const { return entries_->Count(); }
    bool Empty() const { return entries_->Count() == 0; }
    std::u16string_view Line(std::size_t i) const { return entries_->Line(i); }
    std::u16string_view Folded(std::size_t i) const { return entries_->Folded(i); }
    bool FoldedBeginsWith(std::size_t i, std::u16string_view prefix) const {
        return entries_->FoldedBeginsWith(i, prefix);
    }
    std::u16string_view Question(std::size_t i) const { return entries_->Question(i); }
    std::u16string_view FoldedQuestion(std::size_t i) const { return entries_->FoldedQuestion(i); }

    // The lines held now, shared: a later load replaces them and leaves these as they are.
    std::shared_ptr<const PhraseEntries> Entries() const { return entries_; }

private:
    const PhraseCollator& collator_;
    std::shared_ptr<const PhraseEntries> entries_;
    std::string loadedBytes_;
    std::u16string loadedKey_;
    bool loaded_ = false;
    RecentLists recent_{kRecentListsBudget};
    std::optional<std::size_t> memoryLimit_;
};

}  // namespace dialogue
