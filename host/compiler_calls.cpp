// The saver links no C runtime, but a compiler may still call memset on its own, to zero a
// structure or array that the code initialises with = {} (Clang does for OSVERSIONINFOA). This is
// that function, small: the volatile store keeps the compiler from turning the loop back into a
// call to memset.

#include <stddef.h>

extern "C" void* memset(void* destination, int value, size_t count) {
    auto* bytes = static_cast<volatile unsigned char*>(destination);
    while (count-- > 0) {
        *bytes++ = static_cast<unsigned char>(value);
    }
    return destination;
}
