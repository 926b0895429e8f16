#include "LoggerLibrary.h"

#include <cstdlib>
#include <cstdio>

namespace LoggerTests {
namespace {

#if defined(_WIN32)
constexpr LPCWSTR kLibraryName = L"dll_logger.dll";
#else
constexpr LPCWSTR kLibraryName = u"dll_logger.dll";
#endif

template <typename Function>
Function entryPoint(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

LoggerLibrary loadLoggerLibrary() {
    LoggerLibrary library;
    library.module = LoadLibraryW(kLibraryName);
    if (library.module == nullptr) {
        std::fprintf(stderr, "dll_logger.dll could not be loaded from the test folder\n");
        std::abort();
    }
    library.createOrvLogger = entryPoint<CreateOrvLoggerFn>(library.module, "CreateOrvLogger");
    library.unRecoveryError = entryPoint<UnRecoveryErrorFn>(library.module, "unRecoveryError");
    library.getLogLevelFromIniFile =
        entryPoint<GetLogLevelFromIniFileFn>(library.module, "GetLogLevelFromIniFile");
    return library;
}

}  // namespace

const LoggerLibrary& loggerLibrary() {
    static const LoggerLibrary library = loadLoggerLibrary();
    return library;
}

}  // namespace LoggerTests
