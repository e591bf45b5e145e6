#pragma once
// The bytes the process holds from the allocator now, large blocks included: the
// difference across a load is the memory the loaded list keeps.
#include <cstddef>

#include <malloc.h>

namespace bench {

inline std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

}  // namespace bench
