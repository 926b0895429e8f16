#include "reader/DecodeCall.h"

#include <string>

namespace dd7rreplay {

namespace {

void readRect(PayloadCursor& in, float (&rect)[4], const char* field) {
    for (float& value : rect) value = in.f32(field);
}

PixelFormatFields readPixelFormat(PayloadCursor& in) {
    PixelFormatFields format;
    format.flags = in.u32("pixel format flags");
    format.bitCount = in.u32("bit count");
    format.red = in.u32("red mask");
    format.green = in.u32("green mask");
    format.blue = in.u32("blue mask");
    format.alpha = in.u32("alpha mask");
    return format;
}

void decodeDeviceAnswer(PayloadCursor& in, CaptureCall& call) {
    const std::uint8_t query = in.u8("device query");
    switch (query) {
        case static_cast<std::uint8_t>(DeviceQuery::DirectDraw):
            call.given = in.flag("DirectDraw present");
            break;
        case static_cast<std::uint8_t>(DeviceQuery::DisplaySize):
            call.answerWidth = in.f32("display width");
            call.answerHeight = in.f32("display height");
            break;
        case static_cast<std::uint8_t>(DeviceQuery::BlendMode):
        case static_cast<std::uint8_t>(DeviceQuery::SurfaceMemory):
        case static_cast<std::uint8_t>(DeviceQuery::TexturePixelFormat):
            call.answer = in.i32("device answer");
            break;
        case static_cast<std::uint8_t>(DeviceQuery::DisplayMode):
            call.width = in.u32("display mode width");
            call.height = in.u32("display mode height");
            call.pixelFormat = readPixelFormat(in);
            break;
        default:
            in.fail("unknown device query " + std::to_string(query));
    }
    call.query = static_cast<DeviceQuery>(query);
}

void decodeDeviceThrew(PayloadCursor& in, CaptureCall& call) {
    const std::uint8_t query = in.u8("device query");
    // The display mode is asked of DirectDraw, not of the host: it never throws.
    if (query == 0 || query >= static_cast<std::uint8_t>(DeviceQuery::DisplayMode))
        in.fail("unknown device query " + std::to_string(query));
    call.query = static_cast<DeviceQuery>(query);
    call.flag = in.flag("standard exception");
    call.text = in.string("exception text").value_or("");
}

void decodeCreateTexture(PayloadCursor& in, CaptureCall& call) {
    call.renderer = in.u32("renderer");
    call.texture = in.u32("texture");
    const std::uint8_t overload = in.u8("createTexture overload");
    switch (overload) {
        case static_cast<std::uint8_t>(TextureOverload::Empty): break;
        case static_cast<std::uint8_t>(TextureOverload::Sized): call.size = in.f32("size"); break;
        case static_cast<std::uint8_t>(TextureOverload::FileData):
            call.given = in.flag("data given");
            call.byteCount = in.u32("data size");
            call.blob = in.u32("blob");
            break;
        case static_cast<std::uint8_t>(TextureOverload::File):
            call.name = in.string("file name");
            call.directory = in.string("directory");
            call.blob = in.u32("blob");
            break;
        default:
            in.fail("unknown createTexture overload " + std::to_string(overload));
    }
    call.overload = static_cast<TextureOverload>(overload);
}

void decodeBody(RecordKind kind, PayloadCursor& in, CaptureCall& call) {
    switch (kind) {
        case RecordKind::Blob: break;  // handled by the file
        case RecordKind::CreateRenderer:
            call.renderer = in.u32("renderer");
            call.given = in.flag("device given");
            call.reserved = in.u32("reserved value");
            call.flag = in.flag("host flag");
            call.name = in.string("logger directory");
            call.loggerValueA = in.u32("logger value A");
            call.loggerValueB = in.u32("logger value B");
            break;
        case RecordKind::DestroyRenderer:
        case RecordKind::RenderQueue:
        case RecordKind::DiscardQueue:
        case RecordKind::ReleaseAllTextures:
        case RecordKind::PreReset:
            call.renderer = in.u32("renderer");
            break;
        case RecordKind::DeviceAnswer: decodeDeviceAnswer(in, call); break;
        case RecordKind::DeviceThrew: decodeDeviceThrew(in, call); break;
        case RecordKind::LoggerThrew:
            call.flag = in.flag("standard exception");
            call.text = in.string("exception text").value_or("");
            break;
        case RecordKind::SurfaceAnswer:
            call.surfaceFlags = in.u32("surface request flags");
            call.width = in.u32("width");
            call.height = in.u32("height");
            call.caps = in.u32("caps");
            call.pixelFormat = readPixelFormat(in);
            call.result = in.u32("result");
            call.madeFormat = readPixelFormat(in);
            break;
        case RecordKind::Threw:
            call.flag = in.flag("standard exception");
            call.text = in.string("exception text").value_or("");
            break;
        case RecordKind::SetTargetSurface:
            call.renderer = in.u32("renderer");
            call.given = in.flag("surface given");
            call.width = in.u32("width");
            call.height = in.u32("height");
            call.pixelFormat = readPixelFormat(in);
            call.caps = in.u32("caps");
            break;
        case RecordKind::TargetContents:
            call.renderer = in.u32("renderer");
            call.blob = in.u32("blob");
            call.width = in.u32("width");
            call.height = in.u32("height");
            call.pitch = in.u32("row bytes");
            break;
        case RecordKind::SubmitQuad:
            call.renderer = in.u32("renderer");
            readRect(in, call.destination, "destination rectangle");
            call.z = in.f32("z");
            call.texture = in.u32("texture");
            readRect(in, call.source, "source rectangle");
            for (std::uint32_t& colour : call.colours) colour = in.u32("corner colour");
            call.trailing = in.i32("trailing value");
            break;
        case RecordKind::SetQueueing:
            call.renderer = in.u32("renderer");
            call.flag = in.flag("queueing");
            break;
        case RecordKind::CreateTexture: decodeCreateTexture(in, call); break;
        case RecordKind::ReleaseTexture:
            call.renderer = in.u32("renderer");
            call.texture = in.u32("texture");
            break;
        case RecordKind::PostReset:
            call.renderer = in.u32("renderer");
            call.given = in.flag("flag pointer given");
            break;
        case RecordKind::TextureFlags:
            call.texture = in.u32("texture");
            call.flag = in.flag("in-memory flag");
            break;
        case RecordKind::LoadFromFile:
            call.texture = in.u32("texture");
            call.name = in.string("file name");
            call.directory = in.string("directory");
            call.blob = in.u32("blob");
            break;
        case RecordKind::LoadFromFileData:
            call.texture = in.u32("texture");
            call.given = in.flag("data given");
            call.byteCount = in.u32("data size");
            call.blob = in.u32("blob");
            break;
        case RecordKind::LoadFromMemory:
            call.texture = in.u32("texture");
            call.given = in.flag("pixels given");
            call.width = in.u32("width");
            call.height = in.u32("height");
            call.format = in.u32("format");
            call.blob = in.u32("blob");
            break;
        case RecordKind::SourceFile:
            call.texture = in.u32("texture");
            call.blob = in.u32("blob");
            break;
        case RecordKind::FillFromMemory:
            call.texture = in.u32("texture");
            call.given = in.flag("pixels given");
            call.x = in.u32("x");
            call.y = in.u32("y");
            call.width = in.u32("width");
            call.height = in.u32("height");
            call.pitch = in.u32("pitch");
            call.format = in.u32("format");
            call.blob = in.u32("blob");
            break;
    }
}

}  // namespace

const char* recordKindName(RecordKind kind) {
    switch (kind) {
        case RecordKind::Blob: return "Blob";
        case RecordKind::CreateRenderer: return "createRenderer";
        case RecordKind::DestroyRenderer: return "destroyRenderer";
        case RecordKind::DeviceAnswer: return "device answer";
        case RecordKind::Threw: return "exception";
        case RecordKind::SetTargetSurface: return "setTargetSurface";
        case RecordKind::TargetContents: return "target contents";
        case RecordKind::SubmitQuad: return "submitQuad";
        case RecordKind::RenderQueue: return "renderQueue";
        case RecordKind::DiscardQueue: return "discardQueue";
        case RecordKind::SetQueueing: return "setQueueing";
        case RecordKind::CreateTexture: return "createTexture";
        case RecordKind::ReleaseTexture: return "releaseTexture";
        case RecordKind::ReleaseAllTextures: return "releaseAllTextures";
        case RecordKind::PreReset: return "preD3DReset";
        case RecordKind::PostReset: return "postD3DReset";
        case RecordKind::TextureFlags: return "texture flags";
        case RecordKind::LoadFromFile: return "loadFromFile";
        case RecordKind::LoadFromFileData: return "loadFromFileData";
        case RecordKind::LoadFromMemory: return "loadFromMemory";
        case RecordKind::FillFromMemory: return "fillFromMemory";
        case RecordKind::SourceFile: return "source file";
        case RecordKind::DeviceThrew: return "device threw";
        case RecordKind::SurfaceAnswer: return "surface answer";
        case RecordKind::LoggerThrew: return "logging library threw";
    }
    return "unknown";
}

CaptureCall decodeCall(std::uint8_t kind, PayloadCursor& cursor) {
    if (kind == 0 || kind > ZelUISystem::capture::kLastRecordKind)
        cursor.fail("unknown record kind " + std::to_string(kind));
    CaptureCall call;
    call.kind = static_cast<RecordKind>(kind);
    decodeBody(call.kind, cursor, call);
    cursor.expectEnd(recordKindName(call.kind));
    return call;
}

}  // namespace dd7rreplay
