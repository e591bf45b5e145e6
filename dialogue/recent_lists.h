#pragma once
// The phrase lists of recently loaded files, so that typing a letter again after others
// costs reading its file and comparing the bytes, not parsing and sorting it again. Each
// is kept with the bytes it was built from and used only for exactly those bytes.
#include <cstddef>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "phrase_entries.h"

namespace dialogue {

class RecentLists {
public:
    struct List {
        std::u16string key;  // the file's path
        std::string bytes;
        std::shared_ptr<const PhraseEntries> entries;
    };

    // The lists kept take at most budgetBytes together (bytes and entries), and never
    // more than a quarter of the memory the system has available.
    explicit RecentLists(std::size_t budgetBytes) : budget_(budgetBytes) {}

    // Takes out the list kept for key when it was built from exactly these bytes; a list
    // kept for key from other bytes is dropped.
    std::optional<List> Take(std::u16string_view key, std::string_view bytes);
    // Keeps a list as the most recently used; the least recently used go while the budget
    // is passed. A list larger than the budget is not kept.
    void Keep(List list);

    void SetBudget(std::size_t budgetBytes);
    std::size_t Count() const { return lists_.size(); }
    std::size_t MemoryBytes() const { return used_; }

private:
    static std::size_t CostOf(const List& list);
    void Trim(std::size_t budget);

    std::list<List> lists_;  // the most recently used first
    std::size_t used_ = 0;
    std::size_t budget_;
};

}  // namespace dialogue
