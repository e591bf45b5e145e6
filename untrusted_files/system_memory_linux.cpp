#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sys/mman.h>
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

#if defined(TSL_LARGE_BUFFERS_ON_HEAP)
void* MapLargeBuffer(std::size_t bytes) { return bytes == 0 ? nullptr : std::malloc(bytes); }

void ShrinkLargeBuffer(void*, std::size_t, std::size_t) {}

void UnmapLargeBuffer(void* at, std::size_t) { std::free(at); }
#else
namespace {

// Transparent huge pages take 2 MiB, and only where a mapping covers one whole.
constexpr std::size_t kLargePage = std::size_t{2} << 20;

std::size_t PagesFor(std::size_t bytes) {
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

}  // namespace

void* MapLargeBuffer(std::size_t bytes) {
    if (bytes == 0 || bytes > static_cast<std::size_t>(-1) / 2) return nullptr;
    const std::size_t length = PagesFor(bytes);
    // Mapped one large page longer, then cut to start on a large page's boundary, so that
    // every whole large page of the buffer can be one.
    void* mapped = ::mmap(nullptr, length + kLargePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    char* const base = static_cast<char*>(mapped);
    const std::size_t skip =
        (kLargePage - reinterpret_cast<std::uintptr_t>(base) % kLargePage) % kLargePage;
    char* const at = base + skip;
    if (skip > 0) ::munmap(base, skip);
    ::munmap(at + length, kLargePage - skip);  // what is left past the buffer's end
#if defined(MADV_HUGEPAGE)
    // Refused where large pages are off; the memory is then simply in small pages.
    ::madvise(at, length, MADV_HUGEPAGE);
#endif
    return at;
}

void ShrinkLargeBuffer(void* at, std::size_t bytes, std::size_t newBytes) {
    const std::size_t kept = PagesFor(newBytes);
    const std::size_t mapped = PagesFor(bytes);
    if (kept < mapped) ::munmap(static_cast<char*>(at) + kept, mapped - kept);
}

void UnmapLargeBuffer(void* at, std::size_t bytes) {
    if (at != nullptr) ::munmap(at, PagesFor(bytes));
}
#endif

}  // namespace untrusted_files
