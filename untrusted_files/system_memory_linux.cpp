#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sys/resource.h>
#include <unistd.h>

#include "system_memory.h"

namespace untrusted_files {

namespace {

std::optional<std::uint64_t> MemAvailableBytes() {
    std::ifstream meminfo("/proc/meminfo");
    std::string name;
    std::uint64_t kib = 0;
    std::string unit;
    while (meminfo >> name >> kib >> unit) {
        if (name == "MemAvailable:") return kib * 1024;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> AddressSpaceLeft() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return std::nullopt;
    std::uint64_t pages = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        unsigned long long read = 0;
        if (std::fscanf(statm, "%llu", &read) == 1) pages = read;
        std::fclose(statm);
    }
    const std::uint64_t used = pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    const auto limitBytes = static_cast<std::uint64_t>(limit.rlim_cur);
    return limitBytes > used ? limitBytes - used : 0;
}

}  // namespace

std::optional<std::uint64_t> MemoryLeftForProcess() {
    const std::optional<std::uint64_t> free = MemAvailableBytes();
    const std::optional<std::uint64_t> left = AddressSpaceLeft();
    if (free && left) return std::min(*free, *left);
    return free ? free : left;
}

void ReturnFreedMemoryToSystem() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

}  // namespace untrusted_files
