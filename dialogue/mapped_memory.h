#pragma once
// Large buffers in memory straight from the system: freed, it goes back at once rather
// than wait for a trim, and it comes in large pages where the system has them, which take
// a small part of the page faults to fill. A load fills megabytes of such buffers.
#include <cstddef>

namespace dialogue {

// Smaller buffers that stay come from the C library: a mapping of their own would cost
// more than it saves.
constexpr std::size_t kMappedFromBytes = std::size_t{1} << 20;
// Large pages take 2 MiB where the system has them, and only where a mapping covers a
// whole one. A buffer mapped for a moment may as well cover whole ones.
constexpr std::size_t kLargePageBytes = std::size_t{2} << 20;

// Null when the system refuses.
void* AllocateMapped(std::size_t bytes);
// Gives back what lies past the first newBytes (at most bytes).
void ShrinkMapped(void* at, std::size_t bytes, std::size_t newBytes);
// Frees a buffer of bytes, as allocated or last shrunk to.
void FreeMapped(void* at, std::size_t bytes);
// The bytes of such buffers held now, which the C library's own figures leave out.
std::size_t MappedBytesHeld();

}  // namespace dialogue
