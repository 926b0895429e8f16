#pragma once
// The names a loaded library exports, read from its own export table: the PE export directory
// of the mapped DLL on Windows, the dynamic symbol table of the ELF file elsewhere.

#include "LoggerLibrary.h"

#include <string>
#include <vector>

namespace LoggerTests {

// The defined functions and objects the library makes visible to other modules, sorted.
std::vector<std::string> exportedNames(const LoggerLibrary& library);

}  // namespace LoggerTests
