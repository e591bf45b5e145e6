#include "recent_lists.h"

#include <algorithm>

#include "memory_budget.h"

namespace dialogue {

std::size_t RecentLists::CostOf(const List& list) {
    return list.bytes.capacity() + (list.entries ? list.entries->MemoryBytes() : 0);
}

std::optional<RecentLists::List> RecentLists::Take(std::u16string_view key,
                                                   std::string_view bytes) {
    const auto it = std::find_if(lists_.begin(), lists_.end(),
                                 [&](const List& list) { return list.key == key; });
    if (it == lists_.end()) return std::nullopt;
    std::optional<List> found;
    if (it->bytes == bytes) found = std::move(*it);
    used_ -= CostOf(found ? *found : *it);
    lists_.erase(it);
    return found;
}

void RecentLists::Keep(List list) {
    const std::size_t budget = std::min(budget_, AvailableMemory() / 4);
    const std::size_t cost = CostOf(list);
    if (cost > budget) return;
    used_ += cost;
    lists_.push_front(std::move(list));
    Trim(budget);
}

void RecentLists::SetBudget(std::size_t budgetBytes) {
    budget_ = budgetBytes;
    Trim(budget_);
}

void RecentLists::Trim(std::size_t budget) {
    while (used_ > budget && !lists_.empty()) {
        used_ -= CostOf(lists_.back());
        lists_.pop_back();
    }
}

}  // namespace dialogue
