#include <sys/mman.h>
#include <unistd.h>

#include <stdexcept>

#include "NoAccessPages.h"

namespace dd7r_test {

std::size_t PageRun::pageSize() { return static_cast<std::size_t>(sysconf(_SC_PAGESIZE)); }

PageRun::PageRun(std::size_t pages) : bytes_(pages * pageSize()) {
    void* memory = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) throw std::runtime_error("mmap failed");
    base_ = static_cast<std::uint8_t*>(memory);
}

PageRun::~PageRun() { munmap(base_, bytes_); }

void PageRun::forbid(std::size_t index) {
    if (mprotect(page(index), pageSize(), PROT_NONE) != 0) throw std::runtime_error("mprotect failed");
}

}  // namespace dd7r_test
