#pragma once
// The lines of one loaded knowledge file in list order, never changed once built: the
// phrase list holds them, and a suggestion list shares them for as long as it is shown.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text_buffer.h"

namespace dialogue {

class OrderedFile;

class PhraseEntries {
public:
    // The held lines of an ordered file, each with its trimmed, lower-cased form. Takes
    // the file's text over where the held lines fill most of it, else copies them.
    static std::shared_ptr<const PhraseEntries> From(OrderedFile& file);

    std::size_t Count() const { return entries_.size(); }
    // The memory the entries take.
    std::size_t MemoryBytes() const {
        return sizeof(*this) + (text_.Capacity() + folded_.Capacity()) * sizeof(char16_t) +
               entries_.capacity() * sizeof(Entry) +
               questionLengths_.capacity() * sizeof(std::uint32_t);
    }
    // The line as the file holds it.
    std::u16string_view Line(std::size_t i) const;
    // The line trimmed and lower-cased, prepared once per load for the handlers' scans.
    std::u16string_view Folded(std::size_t i) const;
    // Whether Folded(i) begins with prefix; mostly settled without leaving the entry.
    bool FoldedBeginsWith(std::size_t i, std::u16string_view prefix) const;
    // The question of the trimmed line, in the file's letter case and lower-cased.
    std::u16string_view Question(std::size_t i) const;
    std::u16string_view FoldedQuestion(std::size_t i) const;
    // The first entry whose folded question equals key, or -1.
    long FirstWithFoldedQuestion(std::u16string_view key) const;

private:
    static constexpr std::uint32_t kFoldedInText = static_cast<std::uint32_t>(-1);
    static constexpr std::size_t kHeadUnits = 4;

    struct Entry {
        std::uint32_t lineStart;  // in text_
        std::uint32_t lineLength;
        std::uint32_t foldedStart;  // in folded_, or kFoldedInText where folding changes nothing
        std::uint32_t trimBegin;    // where the trimmed line starts within the line
        std::uint32_t trimmedLength;
        std::uint32_t questionLength;
        std::uint64_t foldedHead;  // the first units of the folded line, the first highest
    };

    static std::uint64_t HeadOf(std::u16string_view folded, std::size_t units);

    // The file's text or the held lines one after another; the folded forms that differ.
    TextBuffer text_;
    TextBuffer folded_;
    std::vector<Entry> entries_;
    // The entries' question lengths once more, for a query's scan to pass through quickly.
    std::vector<std::uint32_t> questionLengths_;
};

}  // namespace dialogue
