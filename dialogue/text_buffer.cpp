#include "text_buffer.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <utility>

namespace dialogue {

TextBuffer::TextBuffer(TextBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

TextBuffer& TextBuffer::operator=(TextBuffer&& other) noexcept {
    if (this != &other) {
        std::free(data_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

TextBuffer::~TextBuffer() { std::free(data_); }

void TextBuffer::Reserve(std::size_t units) {
    if (units <= capacity_) return;
    if (units > static_cast<std::size_t>(-1) / sizeof(char16_t)) throw std::bad_alloc();
    void* grown = std::realloc(data_, units * sizeof(char16_t));
    if (grown == nullptr) throw std::bad_alloc();
    data_ = static_cast<char16_t*>(grown);
    capacity_ = units;
}

char16_t* TextBuffer::Extend(std::size_t units) {
    if (size_ + units > capacity_) Reserve(std::max(size_ + units, 2 * capacity_));
    char16_t* const at = data_ + size_;
    size_ += units;
    return at;
}

void TextBuffer::ShrinkToFit() {
    if (size_ == capacity_) return;
    if (size_ == 0) {
        std::free(data_);
        data_ = nullptr;
        capacity_ = 0;
        return;
    }
    // Shrinking keeps the text where it is or moves it whole; either way it stays intact,
    // and should the C library refuse, the larger room simply stays.
    if (void* shrunk = std::realloc(data_, size_ * sizeof(char16_t))) {
        data_ = static_cast<char16_t*>(shrunk);
        capacity_ = size_;
    }
}

}  // namespace dialogue
