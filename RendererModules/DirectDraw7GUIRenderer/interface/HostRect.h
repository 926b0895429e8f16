#pragma once
// The Win32 rectangle the Renderer's base fields hold (left, top, right, bottom; 32-bit signed;
// right and bottom exclusive). On Windows it is the system's own RECT; elsewhere the same
// layout under the same name, so a host and the module agree on the base fields everywhere.

#if defined(_WIN32)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#else

#include <cstdint>

using LONG = std::int32_t;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

#endif
