#pragma once
// UTF-16 text in memory of its own: nothing is written before the text is, and shrinking
// gives back the room past the text without moving it, where a string would copy the text
// and touch every page it ever reserved. Large text is mapped (see mapped_memory.h).
#include <cstddef>
#include <string_view>

namespace dialogue {

class TextBuffer {
public:
    TextBuffer() = default;
    TextBuffer(TextBuffer&& other) noexcept;
    TextBuffer& operator=(TextBuffer&& other) noexcept;
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;
    ~TextBuffer();

    // Room for at least units units; the text is kept. Throws std::bad_alloc.
    void Reserve(std::size_t units);
    // Makes the text units long, its new units not yet written: the caller writes them.
    // Throws std::bad_alloc.
    char16_t* Extend(std::size_t units);
    // Shortens the text to units (at most its size).
    void Truncate(std::size_t units) { size_ = units; }
    // Gives back the room past the text.
    void ShrinkToFit();

    char16_t* Data() { return data_; }
    std::u16string_view View() const { return {data_, size_}; }
    std::size_t Size() const { return size_; }
    std::size_t Capacity() const { return capacity_; }

private:
    char16_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace dialogue
