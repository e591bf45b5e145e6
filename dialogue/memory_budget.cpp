#include "memory_budget.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "mapped_memory.h"
#include "system_memory.h"

namespace dialogue {

std::size_t AvailableMemory() {
    const std::optional<std::uint64_t> left = untrusted_files::MemoryLeftForProcess();
    if (!left) return std::size_t{8} << 30;
    const std::uint64_t budget = *left / 4 * 3;
    return static_cast<std::size_t>(
        std::min<std::uint64_t>(budget, std::numeric_limits<std::size_t>::max()));
}

void ReturnFreedMemory() { untrusted_files::ReturnFreedMemoryToSystem(); }

void* AllocateMapped(std::size_t bytes) { return untrusted_files::MapLargeBuffer(bytes); }

void ShrinkMapped(void* at, std::size_t bytes, std::size_t newBytes) {
    untrusted_files::ShrinkLargeBuffer(at, bytes, newBytes);
}

void FreeMapped(void* at, std::size_t bytes) { untrusted_files::UnmapLargeBuffer(at, bytes); }

}  // namespace dialogue
