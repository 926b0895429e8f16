#pragma once
// Reading a DirectDraw surface back as an RGB picture, and the checksum the demo reports for
// each frame (CRC-32 of the RGB bytes: the visible colours, not the unused bits of the layout).

#include "image/Image.h"
#include "platform/DirectDraw.h"

#include <cstdint>
#include <string>

namespace dd7rdemo {

// The whole surface as 8-bit RGB (16-bit channels widened by repeating their top bits); an
// empty image with `error` set when the surface cannot be locked or has no RGB layout.
Image captureSurface(IDirectDrawSurface7* surface, std::string& error);

std::uint32_t frameChecksum(const Image& image);

// Widens a channel of `bits` bits (1..8) to 8 bits by repeating its top bits.
std::uint8_t widenChannel(std::uint32_t value, unsigned bits);

}  // namespace dd7rdemo
