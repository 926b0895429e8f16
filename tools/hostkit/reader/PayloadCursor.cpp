#include "reader/PayloadCursor.h"

#include "capture/CaptureFormat.h"

namespace dd7rreplay {

std::optional<std::string> PayloadCursor::string(const char* field) {
    const std::uint32_t length = u32(field);
    if (length == ZelUISystem::capture::kNullString) return std::nullopt;
    if (length > kMaxStringBytes)
        fail(std::string(field) + " is " + std::to_string(length) + " bytes long, more than " +
             std::to_string(kMaxStringBytes));
    const std::uint8_t* bytes = take(length, field);
    return std::string(reinterpret_cast<const char*>(bytes), length);
}

void PayloadCursor::expectEnd(const char* record) {
    if (remaining() != 0)
        fail(std::string(record) + " record has " + std::to_string(remaining()) +
             " bytes more than its fields");
}

}  // namespace dd7rreplay
