#include "text_buffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "mapped_memory.h"

namespace dialogue {

namespace {

// Large text is mapped, smaller text comes from the C library; which one a buffer is in
// follows from its capacity alone.
bool IsMapped(std::size_t units) { return units * sizeof(char16_t) >= kMappedFromBytes; }

char16_t* Allocate(std::size_t units) {
    const std::size_t bytes = units * sizeof(char16_t);
    void* at = IsMapped(units) ? AllocateMapped(bytes) : std::malloc(bytes);
    if (at == nullptr) throw std::bad_alloc();
    return static_cast<char16_t*>(at);
}

void Free(char16_t* data, std::size_t units) {
    if (IsMapped(units)) {
        FreeMapped(data, units * sizeof(char16_t));
    } else {
        std::free(data);
    }
}

}  // namespace

TextBuffer::TextBuffer(TextBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

TextBuffer& TextBuffer::operator=(TextBuffer&& other) noexcept {
    if (this != &other) {
        Free(data_, capacity_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

TextBuffer::~TextBuffer() { Free(data_, capacity_); }

void TextBuffer::Reserve(std::size_t units) {
    if (units <= capacity_) return;
    if (units > static_cast<std::size_t>(-1) / sizeof(char16_t)) throw std::bad_alloc();
    if (!IsMapped(units)) {
        void* grown = std::realloc(data_, units * sizeof(char16_t));
        if (grown == nullptr) throw std::bad_alloc();
        data_ = static_cast<char16_t*>(grown);
        capacity_ = units;
        return;
    }
    char16_t* const grown = Allocate(units);
    if (size_ != 0) std::memcpy(grown, data_, size_ * sizeof(char16_t));
    Free(data_, capacity_);
    data_ = grown;
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
        Free(data_, capacity_);
        data_ = nullptr;
        capacity_ = 0;
        return;
    }
    if (IsMapped(size_)) {
        // The pages past the text go back; the text stays where it is.
        ShrinkMapped(data_, capacity_ * sizeof(char16_t), size_ * sizeof(char16_t));
        capacity_ = size_;
        return;
    }
    if (IsMapped(capacity_)) {
        // Should the C library refuse the smaller room, the mapping simply stays.
        void* smaller = std::malloc(size_ * sizeof(char16_t));
        if (smaller == nullptr) return;
        std::memcpy(smaller, data_, size_ * sizeof(char16_t));
        Free(data_, capacity_);
        data_ = static_cast<char16_t*>(smaller);
        capacity_ = size_;
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
