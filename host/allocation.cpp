// The saver's own allocation functions, linked into the executable only. The library's versions
// throw std::bad_alloc, and with them would come the whole C++ exception runtime, whose imports
// (semaphores and wide-character functions among them) Windows 98 does not offer. The saver
// allocates only with new (std::nothrow), so a failure is a null pointer, as before.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size != 0 ? size : 1);
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
