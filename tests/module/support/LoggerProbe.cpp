#include "LoggerProbe.h"

#include <stdexcept>

#include "diagnostics/ModuleLogger.h"
#include "platform/Win32Types.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace moduletest {

std::string executableDirectory() {
#if defined(_WIN32)
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring wide(path, length);
    wide = wide.substr(0, wide.find_last_of(L"\\/") + 1);
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], size, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    return utf8;
#else
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) throw std::runtime_error("cannot find the test executable");
    std::string result(path, static_cast<std::size_t>(length));
    return result.substr(0, result.rfind('/') + 1);
#endif
}

std::string recordingLoggerDirectory() { return executableDirectory() + "recording-logger/"; }

RecordingLoggerState& recordingLogger() {
    static RecordingLoggerState* state = [] {
        const std::string path = recordingLoggerDirectory() + "dll_logger.dll";
        std::basic_string<WCHAR> widePath(path.begin(), path.end());
        HMODULE library = LoadLibraryW(widePath.c_str());
        if (library == nullptr) throw std::runtime_error("cannot load " + path);
        using StateFn = RecordingLoggerState* (*)();
        auto entry = reinterpret_cast<StateFn>(
            reinterpret_cast<void*>(GetProcAddress(library, "recordingLoggerState")));
        if (entry == nullptr) throw std::runtime_error("recordingLoggerState missing");
        return entry();
    }();
    return *state;
}

void resetLogging() {
    ZelUISystem::releaseModuleLogger();
    ZelUISystem::resetLoggingBindingForTesting();
    recordingLogger() = RecordingLoggerState{};
}

std::vector<std::string> recordedCalls(const std::string& prefix) {
    std::vector<std::string> matching;
    for (const std::string& call : recordingLogger().calls)
        if (call.compare(0, prefix.size(), prefix) == 0) matching.push_back(call);
    return matching;
}

}  // namespace moduletest
