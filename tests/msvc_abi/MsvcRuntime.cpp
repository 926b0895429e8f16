// The few pieces of the Windows platform compiler's C++ runtime that the Microsoft-ABI test
// programs need and Wine's C runtime import library does not give: the allocation functions,
// std::nothrow, the table of type_info that every type descriptor points at, and the floating
// point marker. Exceptions themselves (throwing, the frame handler) come from msvcrt.dll.
#include <new>
#include <stdlib.h>

const std::nothrow_t std::nothrow{};

void* operator new(std::size_t size) {
    void* block = malloc(size != 0 ? size : 1);
    if (block == nullptr) abort();  // the tests never run out of memory
    return block;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return malloc(size != 0 ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return malloc(size != 0 ? size : 1);
}
void operator delete(void* block) noexcept { free(block); }
void operator delete[](void* block) noexcept { free(block); }
void operator delete(void* block, std::size_t) noexcept { free(block); }
void operator delete[](void* block, std::size_t) noexcept { free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { free(block); }

extern "C" {
// Type descriptors start with a pointer to type_info's table; matching an exception to a
// handler compares the descriptors' names, never that table, so two empty entries serve.
extern const void* const msvcAbiTypeInfoTable[2];
const void* const msvcAbiTypeInfoTable[2] = {nullptr, nullptr};
// Marks a program that uses floating point; the runtime's start-up code would define it.
int _fltused = 0x9875;
}
#pragma comment(linker, "/alternatename:??_7type_info@@6B@=_msvcAbiTypeInfoTable")
