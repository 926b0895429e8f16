#include "platform/FileAccess.h"

#include "platform/Win32Types.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace ZelUISystem {

namespace {
constexpr std::ios::openmode kReadFromEnd = std::ios::in | std::ios::binary | std::ios::ate;

bool isSeparator(char c) { return c == '\\' || c == '/'; }
}  // namespace

std::string joinPath(const char* fileName, const char* directory) {
    std::string path;
    if (directory != nullptr && directory[0] != '\0') {
        path = directory;
        if (!isSeparator(path.back())) path.push_back('/');
    }
    if (fileName != nullptr) path += fileName;
    return path;
}

#if defined(_WIN32)

void openFileAtEnd(std::ifstream& stream, const std::string& utf8Path) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8Path.c_str(), -1, nullptr, 0);
    if (length <= 0) {
        stream.setstate(std::ios::failbit);
        return;
    }
    std::wstring widePath(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8Path.c_str(), -1, &widePath[0], length);
    stream.open(widePath.c_str(), kReadFromEnd);
}

#else

// Windows refuses to open a directory as a file; the same holds here.
void openFileAtEnd(std::ifstream& stream, const std::string& utf8Path) {
    struct stat status {};
    if (stat(utf8Path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        stream.setstate(std::ios::failbit);
        return;
    }
    stream.open(utf8Path, kReadFromEnd);
}

#endif

}  // namespace ZelUISystem
