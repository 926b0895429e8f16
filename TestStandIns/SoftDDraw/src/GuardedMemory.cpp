#include "GuardedMemory.h"

#include <sys/mman.h>
#include <unistd.h>

namespace softddraw {

namespace {

std::size_t pageSize() { return static_cast<std::size_t>(sysconf(_SC_PAGESIZE)); }

std::size_t roundUpToPages(std::size_t bytes, std::size_t page) {
    return (bytes + page - 1) / page * page;
}

}  // namespace

// Layout: [guard page][padding][data ... last byte][guard page]. The data ends exactly at the
// second guard page; the first one catches writes before the first row that reach a page back.
std::unique_ptr<GuardedMemory> GuardedMemory::allocate(std::size_t bytes) {
    if (bytes == 0) return nullptr;
    const std::size_t page = pageSize();
    const std::size_t dataPages = roundUpToPages(bytes, page);
    const std::size_t mappingSize = dataPages + 2 * page;
    void* mapping = mmap(nullptr, mappingSize, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapping == MAP_FAILED) return nullptr;
    auto* base = static_cast<std::uint8_t*>(mapping);
    if (mprotect(base, page, PROT_NONE) != 0 ||
        mprotect(base + page + dataPages, page, PROT_NONE) != 0) {
        munmap(mapping, mappingSize);
        return nullptr;
    }
    std::uint8_t* data = base + page + dataPages - bytes;
    return std::unique_ptr<GuardedMemory>(new GuardedMemory(mapping, mappingSize, data, bytes));
}

GuardedMemory::~GuardedMemory() { munmap(mapping_, mappingSize_); }

}  // namespace softddraw
