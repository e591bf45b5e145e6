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

}  // namespace untrusted_files
