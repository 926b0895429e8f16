#include "app/LoggingSetup.h"

#include "system/HostPlatform.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace dd7rdemo {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLoggerLibrary = "dll_logger.dll";
constexpr const char* kIniText =
    "; Written by dd7r-demo: the renderer module (tag dd7r) logs errors and information.\n"
    "[dd7r]\n"
    "Level = 4\n";

bool copyLibrary(const fs::path& directory, std::string& error) {
    const fs::path source = fs::u8path(executableDirectory() + kLoggerLibrary);
    const fs::path target = directory / kLoggerLibrary;
    std::error_code code;
    if (fs::exists(target, code) && fs::equivalent(source, target, code)) return true;
    fs::copy_file(source, target, fs::copy_options::overwrite_existing, code);
    if (code) error = "cannot copy " + source.u8string() + " to " + target.u8string() + ": " + code.message();
    return !code;
}

}  // namespace

bool prepareLoggingDirectory(const std::string& directory, std::string& loggerDirectory,
                             std::string& error) {
    const fs::path folder = fs::u8path(directory);
    std::error_code code;
    fs::create_directories(folder, code);
    if (code) {
        error = "cannot create " + directory + ": " + code.message();
        return false;
    }
    std::ofstream ini(folder / "KelLogger.ini", std::ios::binary | std::ios::trunc);
    ini << kIniText;
    ini.close();
    if (!ini) {
        error = "cannot write KelLogger.ini in " + directory;
        return false;
    }
    if (!copyLibrary(folder, error)) return false;
    loggerDirectory = fs::absolute(folder, code).u8string();
    if (code) loggerDirectory = directory;
    if (loggerDirectory.back() != '/' && loggerDirectory.back() != '\\') loggerDirectory += '/';
    return true;
}

}  // namespace dd7rdemo
