#pragma once
// How much memory this process can still take: what the system has free for it, and what is
// left of the process's own address-space limit, whichever is less.
#include <cstddef>
#include <cstdint>
#include <optional>

namespace untrusted_files {

// Nothing when the system does not tell.
std::optional<std::uint64_t> MemoryLeftForProcess();

// Hands memory the process freed back to the system, where the C library would keep it for
// reuse.
void ReturnFreedMemoryToSystem();

// Memory straight from the system for a large buffer: it goes back to the system when it
// is freed, whatever the C library keeps, and comes in large pages where the system has
// them, which take a small part of the page faults to fill. Null when the system refuses.
void* MapLargeBuffer(std::size_t bytes);
// Gives back what lies past the first newBytes (at most bytes) of such a buffer.
void ShrinkLargeBuffer(void* at, std::size_t bytes, std::size_t newBytes);
// Frees such a buffer, mapped or last shrunk to bytes.
void UnmapLargeBuffer(void* at, std::size_t bytes);

}  // namespace untrusted_files
