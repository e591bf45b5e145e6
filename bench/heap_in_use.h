#pragma once
// The bytes the process holds from the allocator now, large blocks and the program's own
// mapped buffers included: the difference across a load is the memory the loaded list
// keeps.
#include <cstddef>

#include <malloc.h>

#include "mapped_memory.h"

namespace bench {

inline std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd + dialogue::MappedBytesHeld();
}

}  // namespace bench
