#include "engine/growable_array.h"

// Data
static int64_t allocationsLeft = UnlimitedAllocations;  // test seam, see SetAllocationLimit

void SetAllocationLimit(int64_t allocations)
{
    allocationsLeft = allocations;
}

void* TryReallocate(void* block, std::size_t count, std::size_t elementSize)
{
    if (allocationsLeft == 0 || count > SIZE_MAX / elementSize)
        return nullptr;
    void* result = std::realloc(block, count * elementSize);
    if (result != nullptr && allocationsLeft > 0)
        --allocationsLeft;
    return result;
}
