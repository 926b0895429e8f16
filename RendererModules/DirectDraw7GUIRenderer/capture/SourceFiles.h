#pragma once
// The bytes of an image file a texture was loaded from, read again for the capture (the file
// may be gone or changed by the time someone replays it).

#include <cstdint>

namespace ZelUISystem {
namespace capture {

class CaptureSession;

// The file's blob, or kNoBlob when it cannot be read; the path is joined as the texture loader
// joins it.
std::uint32_t storeSourceFile(CaptureSession& session, const char* fileName, const char* directory);

}  // namespace capture
}  // namespace ZelUISystem
