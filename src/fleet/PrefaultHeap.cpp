#include "fleet/PrefaultHeap.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

void PrefaultHeap(std::size_t bytes)
{
#if defined(__GLIBC__) && defined(MADV_POPULATE_WRITE)
    // The block must come from the heap, so the size above which blocks are mapped on their
    // own is raised past it for the moment; the C library takes no such size beyond 32 MiB.
    constexpr std::size_t kMost = 16u << 20;
    constexpr int kLargeBlocks = 128 * 1024;  // the C library's own threshold for mapped blocks
    if (bytes == 0)
        return;
    bytes = std::min(bytes, kMost);
    // The block is carved from the heap, not mapped on its own; freed, it joins the heap's free
    // top, which is kept rather than given back to the system.
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * kMost));
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(2 * bytes));
    char* block = static_cast<char*>(std::malloc(bytes));
    mallopt(M_MMAP_THRESHOLD, kLargeBlocks);
    if (!block)
        return;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(block) + page - 1) & ~(page - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(block) + bytes) & ~(page - 1);
    if (end > start)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
    std::free(block);
#else
    (void)bytes;
#endif
}
