#pragma once
// What is wrong with a capture file, and where: the byte offset in the file and a sentence.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace dd7rreplay {

class CaptureError : public std::runtime_error {
public:
    CaptureError(std::uint64_t offset, const std::string& what)
        : std::runtime_error("offset " + std::to_string(offset) + ": " + what), offset_(offset) {}
    std::uint64_t offset() const { return offset_; }

private:
    std::uint64_t offset_;
};

}  // namespace dd7rreplay
