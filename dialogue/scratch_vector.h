#pragma once
// Vectors for what a load builds only to throw away once the phrase list stands: the
// distinct lines, their keys, their order. Large ones are mapped (see mapped_memory.h), so
// that their memory goes back when the load ends and takes few page faults to fill, where
// the C library would hand out small pages again after every trim.
#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "mapped_memory.h"

namespace dialogue {

template <class T>
struct ScratchAllocator {
    using value_type = T;
    // Buffers of a load's size (kilobytes for every thousand lines) are worth a mapping:
    // they are filled at once and freed when it ends.
    static constexpr std::size_t kMappedFrom = std::size_t{256} << 10;
    static constexpr std::size_t kMaxBytes = static_cast<std::size_t>(-1) / 2;
    static std::size_t Mapped(std::size_t bytes) {
        return (bytes + kLargePageBytes - 1) / kLargePageBytes * kLargePageBytes;
    }

    ScratchAllocator() = default;
    template <class U>
    explicit ScratchAllocator(const ScratchAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > kMaxBytes / sizeof(T)) throw std::bad_array_new_length();
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kMappedFrom) return static_cast<T*>(::operator new(bytes));
        void* at = AllocateMapped(Mapped(bytes));
        if (at == nullptr) throw std::bad_alloc();
        return static_cast<T*>(at);
    }
    void deallocate(T* at, std::size_t n) noexcept {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kMappedFrom) {
            ::operator delete(at);
        } else {
            FreeMapped(at, Mapped(bytes));
        }
    }
    // Elements added without a value are left as they come, not zero-filled: every user
    // writes them before reading, and filling megabytes only to overwrite them costs a
    // good part of a load.
    template <class U>
    void construct(U* at) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(at)) U;
    }
    template <class U, class... Args>
    void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
    template <class U>
    bool operator==(const ScratchAllocator<U>&) const noexcept {
        return true;
    }
};

template <class T>
using ScratchVector = std::vector<T, ScratchAllocator<T>>;

}  // namespace dialogue
