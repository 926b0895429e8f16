#pragma once
// Pages the process may not touch, to place right after the pixels a kernel may use: a read or
// write one byte too far then faults at once, in every build (AddressSanitizer sees only what
// it instruments, and the Windows build under Wine has none). The platform's calls live in
// NoAccessPages_posix.cpp and NoAccessPages_windows.cpp.

#include <cstddef>
#include <cstdint>

namespace dd7r_test {

// Read-write memory of whole pages, some of which can be made inaccessible.
class PageRun {
public:
    explicit PageRun(std::size_t pages);
    ~PageRun();
    PageRun(const PageRun&) = delete;
    PageRun& operator=(const PageRun&) = delete;

    static std::size_t pageSize();
    std::uint8_t* page(std::size_t index) const { return base_ + index * pageSize(); }
    // From now on any access to this page faults.
    void forbid(std::size_t index);

private:
    std::uint8_t* base_;
    std::size_t bytes_;
};

}  // namespace dd7r_test
