#pragma once
// What the suggestion list shows: the questions of some rows of one loaded file. It
// shares those lines and never changes, so a window may keep it as long as it likes,
// however often the phrase list is loaded again meanwhile.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "phrase_entries.h"

namespace dialogue {

class SuggestionList {
public:
    SuggestionList() = default;
    SuggestionList(std::shared_ptr<const PhraseEntries> entries, std::vector<std::uint32_t> rows)
        : entries_(std::move(entries)), rows_(std::move(rows)) {}

    std::size_t Count() const { return rows_.size(); }
    bool Empty() const { return rows_.empty(); }
    // The question shown in row i, in the file's letter case; valid while this list lives.
    std::u16string_view Question(std::size_t i) const { return entries_->Question(rows_[i]); }

private:
    std::shared_ptr<const PhraseEntries> entries_;
    std::vector<std::uint32_t> rows_;
};

}  // namespace dialogue
