#pragma once
// How much memory a load may still take. Linux hands out memory it does not have and
// kills the process when it is touched, so a large knowledge file is measured against
// this before its lines are built, and refused when they would not fit.
#include <cstddef>

namespace dialogue {

// What the system reports as available without swapping, capped by the address-space
// limit left to the process when one is set; a quarter is held back for the program itself.
std::size_t AvailableMemory();

// Hands the memory a load freed (its decoded text, keys and sorting buffers) back to the
// system. The C library keeps freed memory for reuse, so without this the resident size the
// user sees stays at the peak of the largest load.
void ReturnFreedMemory();

}  // namespace dialogue
