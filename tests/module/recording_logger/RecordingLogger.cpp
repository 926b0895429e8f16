#include "RecordingLogger.h"

#include <cstdarg>
#include <cstdio>
#include <stdexcept>

#include "interface/Logger.h"

namespace {

RecordingLoggerState& state() {
    static RecordingLoggerState instance;
    return instance;
}

std::string formatted(const char* format, va_list arguments) {
    char buffer[2048];
    std::vsnprintf(buffer, sizeof(buffer), format, arguments);
    return buffer;
}

class RecordingLogger final : public ZelUISystem::Logger {
public:
    ~RecordingLogger() { ++state().loggersDestroyed; }
    void* destroy(std::uint32_t flags) override { return ZelUISystem::destroyObject(this, flags); }
    void reportFatal(const char* message, int flag) override {
        state().calls.push_back("fatal " + std::to_string(flag) + " " + message);
        if (state().throwOnFatal) throw 29;
    }
    void reservedLoggerSlot() override { state().calls.push_back("reserved slot called"); }
    void log(int level, const char* format, ...) override {
        va_list arguments;
        va_start(arguments, format);
        state().calls.push_back("log " + std::to_string(level) + " " + formatted(format, arguments));
        va_end(arguments);
    }
};

}  // namespace

extern "C" {

RECORDING_LOGGER_EXPORT RecordingLoggerState* recordingLoggerState() { return &state(); }

RECORDING_LOGGER_EXPORT ZelUISystem::Logger* CreateOrvLogger(std::uint32_t a, std::uint32_t b,
                                                             const char* tag, int level) {
    state().calls.push_back("create " + std::to_string(a) + " " + std::to_string(b) + " " + tag +
                            " " + std::to_string(level));
    if (state().throwOnCreate) throw std::runtime_error("logger refused");
    ++state().loggersCreated;
    return new RecordingLogger;
}

RECORDING_LOGGER_EXPORT int unRecoveryError(const char* message) {
    state().calls.push_back(std::string("unrecovery ") + message);
    return 0;
}

RECORDING_LOGGER_EXPORT int GetLogLevelFromIniFile(const char* directory, const char* tag,
                                                   const char* iniName) {
    state().calls.push_back(std::string("level ") + (directory ? directory : "(null)") + " " + tag +
                            " " + iniName);
    return state().levelToReport;
}

}
