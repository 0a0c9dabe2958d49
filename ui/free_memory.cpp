#include "ui/free_memory.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace markola {

void ReturnFreeMemoryToSystem() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void KeepLargeBuffersOffTheHeap() {
#if defined(__GLIBC__)
    constexpr int kLargeBuffer = 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, kLargeBuffer);
#endif
}

}  // namespace markola
