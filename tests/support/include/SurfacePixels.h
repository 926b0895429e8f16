#pragma once
// Reading and writing a surface's pixels through Lock for test checks. Every helper reports a
// test failure (and returns an empty or zero result) when the surface cannot be locked.

#include "platform/DirectDraw.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ddtest {

DDSURFACEDESC2 surfaceDesc(IDirectDrawSurface7* surface);
DWORD bytesPerPixelOf(IDirectDrawSurface7* surface);

// Pixel values of bytesPerPixel bytes, little-endian.
DWORD readPixel(IDirectDrawSurface7* surface, DWORD x, DWORD y);
void writePixel(IDirectDrawSurface7* surface, DWORD x, DWORD y, DWORD value);
// All pixels row by row (width x height values), and back.
std::vector<DWORD> readPixels(IDirectDrawSurface7* surface);
void writePixels(IDirectDrawSurface7* surface, const std::vector<DWORD>& pixels);
// Every byte of the surface memory, row padding included (pitch x height bytes).
std::vector<std::uint8_t> readBytes(IDirectDrawSurface7* surface);
void fillBytes(IDirectDrawSurface7* surface, std::uint8_t value);

// Blt colour fill of a rectangle (null: whole surface).
HRESULT colorFill(IDirectDrawSurface7* surface, const RECT* rect, DWORD color);

std::string describe(const DDPIXELFORMAT& format);
std::string resultName(HRESULT result);

}  // namespace ddtest
