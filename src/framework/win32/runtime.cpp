// Allocation without the C++ library: keeps libstdc++ and its exception
// machinery out of the executable. Nothing in the launcher throws.
#include <stddef.h>
#include <stdlib.h>

void* operator new(size_t size) { return malloc(size ? size : 1); }
void* operator new[](size_t size) { return malloc(size ? size : 1); }
void operator delete(void* block) noexcept { free(block); }
void operator delete[](void* block) noexcept { free(block); }
void operator delete(void* block, size_t) noexcept { free(block); }
void operator delete[](void* block, size_t) noexcept { free(block); }

extern "C" void __cxa_pure_virtual() { abort(); }
