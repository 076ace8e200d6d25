// Without a C runtime nothing provides the few functions that GCC emits calls
// to on its own, for struct copies and zeroed buffers. These byte loops are
// built with -fno-tree-loop-distribute-patterns, so GCC cannot turn them back
// into calls to themselves.
#include <stddef.h>

extern "C" void* memset(void* destination, int value, size_t count)
{
    unsigned char* d = static_cast<unsigned char*>(destination);
    while (count-- != 0)
        *d++ = static_cast<unsigned char>(value);
    return destination;
}

extern "C" void* memcpy(void* destination, const void* source, size_t count)
{
    unsigned char* d = static_cast<unsigned char*>(destination);
    const unsigned char* s = static_cast<const unsigned char*>(source);
    while (count-- != 0)
        *d++ = *s++;
    return destination;
}
