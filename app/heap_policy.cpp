#include "app/heap_policy.h"

#include <malloc.h>

namespace hk {

void SetHeapPolicy() {
    // Blocks of 8 MB and more keep mappings of their own, returned to the system when freed.
    mallopt(M_MMAP_THRESHOLD, 8 << 20);
}

void ReleaseFreeHeap() {
    malloc_trim(0);
}

} // namespace hk
