#include "memory_budget.h"

#include <algorithm>
#include <atomic>
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

namespace {

std::atomic<std::size_t> mappedBytesHeld{0};

}  // namespace

void* AllocateMapped(std::size_t bytes) {
    void* const at = untrusted_files::MapLargeBuffer(bytes);
    if (at != nullptr) mappedBytesHeld.fetch_add(bytes, std::memory_order_relaxed);
    return at;
}

void ShrinkMapped(void* at, std::size_t bytes, std::size_t newBytes) {
    untrusted_files::ShrinkLargeBuffer(at, bytes, newBytes);
    mappedBytesHeld.fetch_sub(bytes - newBytes, std::memory_order_relaxed);
}

void FreeMapped(void* at, std::size_t bytes) {
    if (at == nullptr) return;
    untrusted_files::UnmapLargeBuffer(at, bytes);
    mappedBytesHeld.fetch_sub(bytes, std::memory_order_relaxed);
}

std::size_t MappedBytesHeld() { return mappedBytesHeld.load(std::memory_order_relaxed); }

}  // namespace dialogue
