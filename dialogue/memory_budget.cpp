#include "memory_budget.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sys/resource.h>
#include <unistd.h>

namespace dialogue {

namespace {

constexpr std::size_t kUnknown = std::numeric_limits<std::size_t>::max();

std::size_t MemAvailableBytes() {
    std::ifstream meminfo("/proc/meminfo");
    std::string name;
    std::size_t kib = 0;
    std::string unit;
    while (meminfo >> name >> kib >> unit) {
        if (name == "MemAvailable:") return kib * 1024;
    }
    return kUnknown;
}

std::size_t AddressSpaceLeft() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kUnknown;
    std::size_t pages = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%zu", &pages) != 1) pages = 0;
        std::fclose(statm);
    }
    const std::size_t used = pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return limit.rlim_cur > used ? static_cast<std::size_t>(limit.rlim_cur) - used : 0;
}

}  // namespace

std::size_t AvailableMemory() {
    const std::size_t available = std::min(MemAvailableBytes(), AddressSpaceLeft());
    if (available == kUnknown) return std::size_t{8} << 30;
    return available / 4 * 3;
}

void ReturnFreedMemory() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

}  // namespace dialogue
