#pragma once
// How much memory this process can still take: what the system has free for it, and what is
// left of the process's own address-space limit, whichever is less.
#include <cstdint>
#include <optional>

namespace untrusted_files {

// Nothing when the system does not tell.
std::optional<std::uint64_t> MemoryLeftForProcess();

// Hands memory the process freed back to the system, where the C library would keep it for
// reuse.
void ReturnFreedMemoryToSystem();

}  // namespace untrusted_files
