#pragma once
// The process's resident memory as the system reports it: what the user sees in a task
// manager, including memory freed by the program but kept by the C library.
#include <cstddef>
#include <fstream>

#include <unistd.h>

namespace bench {

inline std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    std::size_t resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

}  // namespace bench
