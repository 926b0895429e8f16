#include "Utf8File.h"

#include <algorithm>

#if defined(_WIN32)
#include "platform/Win32Types.h"

#include <climits>
#endif

namespace DllLogger {
namespace {

#if defined(_WIN32)
std::wstring utf8ToWide(const std::string& text) {
    if (text.empty() || text.size() >= static_cast<std::size_t>(INT_MAX)) return {};
    const int length = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    if (wideLength <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    if (MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), wideLength) != wideLength)
        return {};
    return wide;
}

std::FILE* openUtf8(const std::string& utf8Path, const wchar_t* mode) {
    const std::wstring widePath = utf8ToWide(utf8Path);
    if (widePath.empty()) return nullptr;
    return _wfopen(widePath.c_str(), mode);
}
#endif

std::FILE* openForReading(const std::string& utf8Path) {
#if defined(_WIN32)
    return openUtf8(utf8Path, L"rb");
#else
    return utf8Path.empty() ? nullptr : std::fopen(utf8Path.c_str(), "rb");
#endif
}

}  // namespace

std::FILE* openForAppend(const std::string& utf8Path) {
#if defined(_WIN32)
    return openUtf8(utf8Path, L"ab");
#else
    return utf8Path.empty() ? nullptr : std::fopen(utf8Path.c_str(), "ab");
#endif
}

bool writeAndFlush(std::FILE* file, const std::string& text) {
    if (file == nullptr) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fflush(file) == 0 && written;
}

std::optional<std::string> readFilePrefix(const std::string& utf8Path, std::size_t maxBytes) {
    const FileHandle file(openForReading(utf8Path));
    if (!file) return std::nullopt;
    std::string content;
    char chunk[4096];
    while (content.size() < maxBytes) {
        const std::size_t wanted = std::min(sizeof(chunk), maxBytes - content.size());
        const std::size_t got = std::fread(chunk, 1, wanted, file.get());
        content.append(chunk, got);
        if (got < wanted) break;
    }
    if (std::ferror(file.get())) return std::nullopt;
    return content;
}

}  // namespace DllLogger
