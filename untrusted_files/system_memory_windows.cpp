#include <algorithm>

#include <malloc.h>
#include <windows.h>

#include "system_memory.h"

namespace untrusted_files {

std::optional<std::uint64_t> MemoryLeftForProcess() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return std::nullopt;
    return std::min<std::uint64_t>(status.ullAvailPhys, status.ullAvailVirtual);
}

void ReturnFreedMemoryToSystem() { _heapmin(); }

void* MapLargeBuffer(std::size_t bytes) {
    if (bytes == 0) return nullptr;
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void ShrinkLargeBuffer(void* at, std::size_t bytes, std::size_t newBytes) {
    // Pages past the kept ones are decommitted; the whole range is released at the end.
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const std::size_t page = system.dwPageSize;
    const std::size_t kept = (newBytes + page - 1) / page * page;
    if (kept < bytes) VirtualFree(static_cast<char*>(at) + kept, bytes - kept, MEM_DECOMMIT);
}

void UnmapLargeBuffer(void* at, std::size_t) {
    if (at != nullptr) VirtualFree(at, 0, MEM_RELEASE);
}

}  // namespace untrusted_files
