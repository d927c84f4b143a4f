#include "platform/Heap.h"

#include <malloc.h>

namespace kavri::platform {

void useOneHeap()
{
    mallopt(M_ARENA_MAX, 1);
}

void giveBackFreePages()
{
    malloc_trim(0);
}

} // namespace kavri::platform
