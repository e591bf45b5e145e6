#pragma once
// The phrase list: the lines of the knowledge file loaded last, sorted by the
// case-insensitive order without entries that order calls equal.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "line_splitting.h"
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
    // The same for bytes already read: when they equal those of the last load, the
    // parsed list is kept as it is. Throws DecodeError or OutOfMemoryError.
    void LoadBytes(std::string bytes);

    // The memory a load may take, in place of what the system has available.
    void LimitMemory(std::size_t bytes) { memoryLimit_ = bytes; }

    std::size_t Count() const { return held_->entries.size(); }
    bool Empty() const { return held_->entries.empty(); }
    // The line as the file holds it.
    std::u16string_view Line(std::size_t i) const;
    // The line trimmed and lower-cased, prepared once per load for the handlers' scans.
    std::u16string_view Folded(std::size_t i) const;
    // The question of the trimmed line, in the file's letter case and lower-cased.
    std::u16string_view Question(std::size_t i) const;
    std::u16string_view FoldedQuestion(std::size_t i) const;

    // Keeps the current lines alive for whoever holds it, however the list is loaded
    // again meanwhile: text borrowed from Line or Question stays valid that long.
    std::shared_ptr<const void> Lifetime() const { return held_; }

private:
    struct Entry {
        std::uint32_t lineStart;  // in text
        std::uint32_t lineLength;
        std::uint32_t foldedStart;  // in folded
        std::uint32_t trimBegin;    // where the trimmed line starts within the line
        std::uint32_t trimmedLength;
        std::uint32_t questionLength;
    };
    // The held lines one after another, and their trimmed lower-cased forms likewise.
    struct Held {
        std::u16string text;
        std::u16string folded;
        std::vector<Entry> entries;
    };

    std::shared_ptr<const Held> Build(std::string_view bytes) const;

    const PhraseCollator& collator_;
    std::shared_ptr<const Held> held_;
    std::string loadedBytes_;
    bool loaded_ = false;
    std::optional<std::size_t> memoryLimit_;
};

}  // namespace dialogue
