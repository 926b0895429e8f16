#pragma once
// The layout of a capture file, shared by the module that writes it and the tools that read it.
// Everything is little-endian. A file is a 16-byte header followed by records; each record is
// a one-byte kind, a 32-bit payload length and the payload. docs/capture-format.md describes
// every payload.

#include <cstddef>
#include <cstdint>

namespace ZelUISystem {
namespace capture {

constexpr char kMagic[8] = {'D', 'D', '7', 'R', 'C', 'A', 'P', 'T'};
// Version 2 added SourceFile, version 3 DeviceThrew, SurfaceAnswer
// and LoggerThrew; older files are read as
// they are (they have none).
constexpr std::uint32_t kFormatVersion = 3;
constexpr std::uint32_t kOldestReadableVersion = 1;
constexpr std::uint32_t kHeaderSize = 16;        // magic, version, pointer bits of the writer
constexpr std::uint32_t kRecordHeaderSize = 5;   // kind (u8), payload length (u32)

enum class RecordKind : std::uint8_t {
    Blob = 1,               // u32 blob id, u64 content hash, bytes
    CreateRenderer = 2,     // u32 renderer id (0: failed), u8 device given, u32 reserved,
                            // u8 host flag, string logger directory, u32 value A, u32 value B
    DestroyRenderer = 3,    // u32 renderer id
    DeviceAnswer = 4,       // u8 query, then the answer (see DeviceQuery)
    Threw = 5,              // u8 standard exception, string text: the call before it threw
    SetTargetSurface = 6,   // u32 renderer, u8 given, u32 width, u32 height, pixel format, u32 caps
    TargetContents = 7,     // u32 renderer, u32 blob, u32 width, u32 height, u32 row bytes
    SubmitQuad = 8,         // u32 renderer, f32 x4 destination, f32 z, u32 texture,
                            // f32 x4 source, u32 x4 colours, i32 trailing value
    RenderQueue = 9,        // u32 renderer
    DiscardQueue = 10,      // u32 renderer
    SetQueueing = 11,       // u32 renderer, u8 queueing
    CreateTexture = 12,     // u32 renderer, u32 texture id (0: failed), u8 overload, arguments
    ReleaseTexture = 13,    // u32 renderer, u32 texture
    ReleaseAllTextures = 14,  // u32 renderer
    PreReset = 15,          // u32 renderer
    PostReset = 16,         // u32 renderer, u8 flag pointer given
    TextureFlags = 17,      // u32 texture, u8 in-memory flag
    LoadFromFile = 18,      // u32 texture, string name, string directory, u32 blob (file bytes)
    LoadFromFileData = 19,  // u32 texture, u8 data given, u32 size, u32 blob
    LoadFromMemory = 20,    // u32 texture, u8 pixels given, u32 width, u32 height, u32 format,
                            // u32 blob
    FillFromMemory = 21,    // u32 texture, u8 pixels given, u32 x, y, width, height, pitch,
                            // u32 format, u32 blob
    SourceFile = 22,        // u32 texture, u32 blob: the bytes of the file the texture is about
                            // to be rebuilt from, when they differ from those recorded last
    DeviceThrew = 23,       // u8 query, u8 standard exception, string text: a question to the
                            // host's device threw instead of answering
    SurfaceAnswer = 24,     // u32 flags, u32 width, u32 height, u32 caps, pixel format asked,
                            // u32 result, pixel format made: what DirectDraw answered when the
                            // module asked it for a surface during the call
    LoggerThrew = 25,       // u8 standard exception, string text: a call into the logging
                            // library threw during the call
};
constexpr std::uint8_t kLastRecordKind = 25;
constexpr std::uint8_t kFirstVersion3Kind = 23;

// The createTexture overload a CreateTexture record stands for, and what follows it.
enum class TextureOverload : std::uint8_t {
    Empty = 0,     // nothing
    Sized = 1,     // f32 size
    FileData = 2,  // u8 data given, u32 size, u32 blob
    File = 3,      // string name, string directory, u32 blob (the file's bytes)
};

// What the host's RendererDevice (or its DirectDraw object) answered during the call recorded
// just before.
enum class DeviceQuery : std::uint8_t {
    DirectDraw = 1,          // u8 present
    DisplaySize = 2,         // f32 width, f32 height
    BlendMode = 3,           // i32
    SurfaceMemory = 4,       // i32
    TexturePixelFormat = 5,  // i32
    DisplayMode = 6,         // u32 width, u32 height, pixel format (GetDisplayMode)
};

// A pixel format is six u32: flags, bit count, red, green, blue and alpha masks.
constexpr std::uint32_t kPixelFormatBytes = 24;

// Texture references: 0 is a null pointer, kForeignTexture a pointer that is no texture the
// capture saw being created. Blob 0 means "no bytes recorded".
constexpr std::uint32_t kNullTexture = 0;
constexpr std::uint32_t kForeignTexture = 0xFFFFFFFFu;
constexpr std::uint32_t kNoBlob = 0;
// A string is a u32 length and its bytes; this length stands for a null pointer.
constexpr std::uint32_t kNullString = 0xFFFFFFFFu;
// The longest exception text kept: readers refuse longer strings.
constexpr std::size_t kLongestExceptionText = 65536;

}  // namespace capture
}  // namespace ZelUISystem
