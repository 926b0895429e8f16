#include <windows.h>

#include <stdexcept>

#include "NoAccessPages.h"

namespace dd7r_test {

std::size_t PageRun::pageSize() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwPageSize;
}

PageRun::PageRun(std::size_t pages) : bytes_(pages * pageSize()) {
    void* memory = VirtualAlloc(nullptr, bytes_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (memory == nullptr) throw std::runtime_error("VirtualAlloc failed");
    base_ = static_cast<std::uint8_t*>(memory);
}

PageRun::~PageRun() { VirtualFree(base_, 0, MEM_RELEASE); }

void PageRun::forbid(std::size_t index) {
    DWORD previous = 0;
    if (!VirtualProtect(page(index), pageSize(), PAGE_NOACCESS, &previous))
        throw std::runtime_error("VirtualProtect failed");
}

}  // namespace dd7r_test
