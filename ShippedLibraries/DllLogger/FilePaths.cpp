#include "FilePaths.h"

namespace DllLogger {
namespace {

#if defined(_WIN32)
constexpr char kSeparator = '\\';
bool isSeparator(char c) { return c == '\\' || c == '/'; }
#else
constexpr char kSeparator = '/';
bool isSeparator(char c) { return c == '/'; }
#endif

bool isSafeFileNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '.' || c == '_' || c == '-';
}

}  // namespace

std::string joinPath(std::string_view directory, std::string_view name) {
    std::string path(directory);
    if (!path.empty() && !isSeparator(path.back())) path.push_back(kSeparator);
    path.append(name);
    return path;
}

std::string logFileNameForTag(std::string_view tag) {
    std::string name = tag.empty() ? std::string("dll_logger") : std::string(tag);
    for (char& c : name) {
        if (!isSafeFileNameCharacter(c)) c = '_';
    }
    return name + ".log";
}

}  // namespace DllLogger
