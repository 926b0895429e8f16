#pragma once
// One small image file picked by the fuzz input: format, size and picture, sometimes cut short.

#include <cstdint>
#include <vector>

#include "fuzzhost/ByteReader.h"

namespace dd7rfuzz {

std::vector<std::uint8_t> readImageFile(ByteReader& input);

// A BMP file on disk, written once per process, for textures loaded by file name; with the
// directory it lives in (ending in a separator).
const char* imageFileDirectory();
const char* imageFileName();

}  // namespace dd7rfuzz
