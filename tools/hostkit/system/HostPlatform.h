#pragma once
// What differs between the two builds, behind one small interface: which DirectDraw a host
// draws with (the software stand-in natively, the real DirectDraw 7 on Windows), how a display
// reset loses surfaces, and how a shared library is loaded. One implementation file per
// platform: PlatformNative.cpp, PlatformWindows.cpp.

#include "system/DisplayFormat.h"
#include "platform/DirectDraw.h"

#include <string>

namespace dd7rdemo {

// A DirectDraw 7 object at DDSCL_NORMAL on which surfaces of `format` can be created; null with
// `error` set when there is none. Release it with closeDirectDraw.
IDirectDraw7* openDirectDraw(DisplayFormat format, std::string& error);
void closeDirectDraw(IDirectDraw7* directDraw);

// Loses every surface that can be lost (those not created in explicit system memory), as a
// display mode change does; false with `error` set when that is not possible.
bool loseAllSurfaces(IDirectDraw7* directDraw, std::string& error);

// The DirectDraw openDirectDraw gives, named for reports.
const char* directDrawName();

// Whether this build can show a window on a display (the Windows build).
bool platformHasWindows();

// The name of the renderer module's file: dd7r.so natively, dd7r.dll on Windows.
const char* rendererModuleFileName();

// The folder of the running program, ending with a separator.
std::string executableDirectory();

// Shared libraries: a null handle or symbol means "absent"; `error` says why.
void* loadSharedLibrary(const std::string& path, std::string& error);
void* findSharedLibrarySymbol(void* library, const char* name);

}  // namespace dd7rdemo
