#pragma once
// One decoded record of a capture. Which fields mean something depends on the kind (see
// docs/capture-format.md); the others keep their zero values.

#include <cstdint>
#include <optional>
#include <string>

#include "capture/CaptureFormat.h"

namespace dd7rreplay {

using ZelUISystem::capture::DeviceQuery;
using ZelUISystem::capture::RecordKind;
using ZelUISystem::capture::TextureOverload;

struct PixelFormatFields {
    std::uint32_t flags = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
    std::uint32_t alpha = 0;
};

struct CaptureCall {
    RecordKind kind = RecordKind::Blob;
    std::uint64_t offset = 0;  // of the record in the file

    std::uint32_t renderer = 0;
    std::uint32_t texture = 0;  // the texture named, or the id a CreateTexture gave
    std::uint32_t blob = 0;
    bool given = false;  // device, data, pixels, surface or flag pointer given (non-null)
    bool flag = false;   // host flag, queueing, in-memory flag, standard exception

    // createRenderer
    std::uint32_t reserved = 0;
    std::uint32_t loggerValueA = 0;
    std::uint32_t loggerValueB = 0;

    // submitQuad
    float destination[4] = {};
    float z = 0.0f;
    float source[4] = {};
    std::uint32_t colours[4] = {};
    std::int32_t trailing = 0;

    // textures and surfaces
    TextureOverload overload = TextureOverload::Empty;
    float size = 0.0f;
    std::uint32_t byteCount = 0;  // file data size
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t pitch = 0;  // source pitch, or row bytes of target contents
    std::uint32_t format = 0;
    std::uint32_t caps = 0;
    PixelFormatFields pixelFormat;
    std::optional<std::string> name;       // file name, or logger directory
    std::optional<std::string> directory;
    std::string text;                      // exception text

    // a surface DirectDraw was asked for (`width`, `height`, `caps`, `pixelFormat` as asked)
    std::uint32_t surfaceFlags = 0;  // of the request: which fields it sets
    std::uint32_t result = 0;        // CreateSurface's HRESULT
    PixelFormatFields madeFormat;    // the layout of the surface made (zeros: none)

    // device answers
    DeviceQuery query = DeviceQuery::DirectDraw;
    float answerWidth = 0.0f;
    float answerHeight = 0.0f;
    std::int32_t answer = 0;
};

const char* recordKindName(RecordKind kind);

}  // namespace dd7rreplay
