#pragma once
// The phrase list: the lines of the knowledge file loaded last, sorted by the
// case-insensitive order without entries that order calls equal.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "line_splitting.h"

namespace dialogue {

class PhraseCollator;

// Where each line of a file goes in the phrase list.
struct PhraseOrder {
    // File indices of the lines held, in list order.
    std::vector<std::size_t> held;
    // For every file line, the file index of the line held in its place: itself, or the
    // earlier line that the order calls equal (a case-duplicate that wins over it).
    std::vector<std::size_t> heldFor;
};

// Sorts once by sort keys and drops every line that equals an earlier one, which gives
// the list that inserting the lines one by one with a binary search would give.
PhraseOrder OrderPhrases(const std::vector<std::u16string>& lines, const PhraseCollator& collator);

// Decodes and splits a file's bytes: the lines as the file holds them.
SplitLines ParseKnowledgeBytes(std::string_view bytes);

class PhraseList {
public:
    explicit PhraseList(const PhraseCollator& collator);

    // Replaces the content with the lines of the file at path. On any failure (the file
    // cannot be read or decoded) the list keeps its lines and the error propagates.
    void Load(std::u16string_view path);
    // The same for bytes already read: when they equal those of the last load, the
    // parsed list is kept as it is.
    void LoadBytes(std::string bytes);

    std::size_t Count() const { return entries_->size(); }
    bool Empty() const { return entries_->empty(); }
    // The line as the file holds it.
    const std::u16string& Line(std::size_t i) const { return (*entries_)[i].line; }
    // The line trimmed and lower-cased, prepared once per load for the handlers' scans.
    const std::u16string& Folded(std::size_t i) const { return (*entries_)[i].folded; }
    // The question of the trimmed line, in the file's letter case and lower-cased.
    std::u16string_view Question(std::size_t i) const;
    std::u16string_view FoldedQuestion(std::size_t i) const;

    // Keeps the current lines alive for whoever holds it, however the list is loaded
    // again meanwhile: text borrowed from Line or Question stays valid that long.
    std::shared_ptr<const void> Lifetime() const { return entries_; }

private:
    struct Entry {
        std::u16string line;
        std::u16string folded;
        std::uint32_t trimBegin;
        std::uint32_t questionLength;
    };

    const PhraseCollator& collator_;
    std::shared_ptr<const std::vector<Entry>> entries_;
    std::string loadedBytes_;
    bool loaded_ = false;
};

}  // namespace dialogue
