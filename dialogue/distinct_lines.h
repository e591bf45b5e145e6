#pragma once
// The distinct lines of a knowledge file: a line that repeats an earlier one exactly is
// kept out before anything is sorted, since the list holds the first of them anyway.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "line_splitting.h"
#include "scratch_vector.h"

namespace dialogue {

class DistinctLines {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // Views into text, which must outlive this object. Memory grows with the distinct
    // lines only: a file of fifty million line breaks holds one. Throws OutOfMemoryError
    // rather than let the collection take more than maxBytes.
    explicit DistinctLines(std::u16string_view text,
                           std::size_t maxBytes = static_cast<std::size_t>(-1));

    // In the order of their first appearance in the file.
    std::span<const std::u16string_view> Lines() const { return lines_; }
    // The 0-based number of the file line where Lines()[index] first stands.
    std::size_t FirstFileLine(std::size_t index) const { return firstFileLines_[index]; }
    // All lines of the file, repeats included.
    std::size_t FileLineCount() const { return fileLines_; }
    // The units of the distinct lines together.
    std::size_t Units() const { return units_; }
    const NulStop& Stop() const { return stop_; }
    // The memory the collection takes.
    std::size_t MemoryBytes() const;

    // Where line stands among Lines(), or npos.
    std::size_t IndexOf(std::u16string_view line) const;

private:
    void ReserveForLinesOf(std::u16string_view text);
    void Insert(std::u16string_view line, std::size_t hash, std::size_t fileLine);
    std::size_t Find(std::u16string_view line, std::size_t hash) const;
    void Grow();

    ScratchVector<std::u16string_view> lines_;
    ScratchVector<std::size_t> hashes_;
    ScratchVector<std::size_t> firstFileLines_;
    // Open addressing: 0 is a free slot, otherwise the line's index + 1.
    ScratchVector<std::uint32_t> slots_;
    std::size_t maxBytes_;
    std::size_t fileLines_ = 0;
    std::size_t units_ = 0;
    NulStop stop_;
};

}  // namespace dialogue
