#include "platform/HeapRetention.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

namespace vesta {

void RetainFreedHeapMemory() {
#if defined(M_TRIM_THRESHOLD) && defined(M_MMAP_THRESHOLD)
    // Setting either turns off glibc's own adjustment of both, so both are
    // set: the mapping threshold at the largest value that adjustment reaches.
    constexpr int kTrimThreshold = 64 << 20;
    constexpr int kMappingThreshold = 32 << 20;
    mallopt(M_TRIM_THRESHOLD, kTrimThreshold);
    mallopt(M_MMAP_THRESHOLD, kMappingThreshold);
#endif
}

}  // namespace vesta
