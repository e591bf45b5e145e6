#include "distinct_lines.h"

#include <functional>

#include "errors.h"

namespace dialogue {

namespace {

std::size_t HashOf(std::u16string_view line) { return std::hash<std::u16string_view>{}(line); }

}  // namespace

DistinctLines::DistinctLines(std::u16string_view text, std::size_t maxBytes)
    : slots_(64, 0), maxBytes_(maxBytes) {
    std::u16string_view previous;
    bool any = false;
    stop_ = ForEachLine(text, [&](std::u16string_view line) {
        ++fileLines_;
        // Runs of one repeated line (blank lines above all) are common: no hashing for them.
        if (any && line == previous) return;
        any = true;
        previous = line;
        Insert(line);
    });
}

std::size_t DistinctLines::Find(std::u16string_view line, std::size_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t entry = slots_[slot];
        if (entry == 0) return npos;
        const std::size_t index = entry - 1;
        if (hashes_[index] == hash && lines_[index] == line) return index;
    }
}

std::size_t DistinctLines::IndexOf(std::u16string_view line) const {
    return Find(line, HashOf(line));
}

std::size_t DistinctLines::Insert(std::u16string_view line) {
    const std::size_t hash = HashOf(line);
    const std::size_t found = Find(line, hash);
    if (found != npos) return found;
    if (2 * (lines_.size() + 1) > slots_.size()) Grow();
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = hash & mask;
    while (slots_[slot] != 0) slot = (slot + 1) & mask;
    lines_.push_back(line);
    hashes_.push_back(hash);
    firstFileLines_.push_back(fileLines_ - 1);
    units_ += line.size();
    slots_[slot] = static_cast<std::uint32_t>(lines_.size());
    return lines_.size() - 1;
}

std::size_t DistinctLines::MemoryBytes() const {
    return lines_.capacity() * sizeof(decltype(lines_)::value_type) +
           hashes_.capacity() * sizeof(hashes_[0]) +
           firstFileLines_.capacity() * sizeof(firstFileLines_[0]) +
           slots_.capacity() * sizeof(slots_[0]);
}

void DistinctLines::Grow() {
    // Growing doubles the table and, at worst, both line vectors at once.
    if (MemoryBytes() * 3 > maxBytes_) throw OutOfMemoryError();
    std::vector<std::uint32_t> slots(slots_.size() * 2, 0);
    const std::size_t mask = slots.size() - 1;
    for (std::size_t index = 0; index < lines_.size(); ++index) {
        std::size_t slot = hashes_[index] & mask;
        while (slots[slot] != 0) slot = (slot + 1) & mask;
        slots[slot] = static_cast<std::uint32_t>(index + 1);
    }
    slots_ = std::move(slots);
}

}  // namespace dialogue
