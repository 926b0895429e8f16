#include "LogDirectory.h"

#include <mutex>

namespace DllLogger {
namespace {

std::mutex& directoryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string& directoryStorage() {
    static std::string directory;
    return directory;
}

}  // namespace

void rememberLogDirectory(const char* directory) {
    std::string copy = directory == nullptr ? std::string() : std::string(directory);
    const std::lock_guard<std::mutex> lock(directoryMutex());
    directoryStorage().swap(copy);
}

std::string rememberedLogDirectory() {
    const std::lock_guard<std::mutex> lock(directoryMutex());
    return directoryStorage();
}

}  // namespace DllLogger
