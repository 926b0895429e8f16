#include "capture/SourceFiles.h"

#include <fstream>
#include <string>
#include <vector>

#include "capture/CaptureSession.h"
#include "platform/FileAccess.h"

namespace ZelUISystem {
namespace capture {

namespace {

std::uint32_t storeFile(CaptureSession& session, const char* fileName, const char* directory) {
    const std::string path = joinPath(fileName, directory);
    if (path.empty()) return kNoBlob;
    std::ifstream stream;
    openFileAtEnd(stream, path);
    if (!stream) return kNoBlob;
    const std::streamoff size = stream.tellg();
    if (size <= 0 || static_cast<std::uint64_t>(size) > kMaxBlobBytes) return kNoBlob;
    std::vector<char> bytes(static_cast<std::size_t>(size));
    stream.seekg(0, std::ios::beg);
    if (!stream.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return kNoBlob;
    return session.storeBlob(bytes.data(), bytes.size());
}

}  // namespace

std::uint32_t storeSourceFile(CaptureSession& session, const char* fileName, const char* directory) {
    try {
        return storeFile(session, fileName, directory);
    } catch (...) {
        return kNoBlob;  // no memory for the file's bytes: the capture goes on without them
    }
}

}  // namespace capture
}  // namespace ZelUISystem
