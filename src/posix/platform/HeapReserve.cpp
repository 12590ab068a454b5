#include "posix/platform/HeapReserve.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <thread>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it, which costs nothing
#endif

namespace wisp {

void ReserveHeap(std::size_t bytes) {
    // Freed memory stays in the heap, and blocks up to the largest size the C library allows
    // come from it rather than from a mapping of their own, so that what was populated is
    // what gets used.
    constexpr int kHeapBlocks = 32 << 20;
    ::mallopt(M_TRIM_THRESHOLD, kHeapBlocks);
    ::mallopt(M_MMAP_THRESHOLD, kHeapBlocks);
    void* block = std::malloc(bytes);
    if (!block) {
        return;
    }
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto start = (reinterpret_cast<std::uintptr_t>(block) + page - 1) & ~(page - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + bytes) & ~(page - 1);
    std::free(block);
    if (end > start) {
        // On a second thread, while this one opens what it needs: populating changes no
        // byte, so the heap may be in use meanwhile.
        std::thread([start, end] {
            ::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
        }).detach();
    }
}

}  // namespace wisp
