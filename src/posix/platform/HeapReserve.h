#pragma once

#include <cstddef>

// Memory a short-lived process will use, taken from the system in one call at its start.
// Each first touch of a page of the heap otherwise traps into the kernel; in a virtual machine
// a trap can cost over ten microseconds, and a search of a large library touches hundreds.
namespace wisp {

// Makes the first `bytes` of the heap present and keeps freed memory in the heap for reuse.
// Does nothing where the system cannot populate memory on request.
void ReserveHeap(std::size_t bytes);

}  // namespace wisp
