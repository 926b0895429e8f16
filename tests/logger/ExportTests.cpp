// The library's outside: found by the module's loading path, its three entry points found by
// their undecorated names, and nothing else exported.

#include "ExportedNames.h"
#include "LoggerLibrary.h"

#include <gtest/gtest.h>

namespace LoggerTests {
namespace {

TEST(LoggerExports, EntryPointsAreFoundByUndecoratedName) {
    const LoggerLibrary& library = loggerLibrary();
    ASSERT_NE(library.module, nullptr);
    EXPECT_NE(library.createOrvLogger, nullptr);
    EXPECT_NE(library.unRecoveryError, nullptr);
    EXPECT_NE(library.getLogLevelFromIniFile, nullptr);
}

TEST(LoggerExports, OnlyTheThreeEntryPointsAreExported) {
    EXPECT_EQ(exportedNames(loggerLibrary()),
              (std::vector<std::string>{"CreateOrvLogger", "GetLogLevelFromIniFile",
                                        "unRecoveryError"}));
}

}  // namespace
}  // namespace LoggerTests
