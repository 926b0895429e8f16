// A host built in the Windows platform compiler's C++ ABI (clang, i686-pc-windows-msvc) from
// the shipped host headers, with stand-in standard headers of the same layout (include/). It
// loads the module by path, hands it a RendererDevice over Wine's DirectDraw 7, and checks
// what such a host relies on: the slots, the base fields that hold std::string, the in-memory
// flag it writes, the exceptions it catches, and what becomes of exceptions that its device
// and its logging library (MsvcLogger.cpp, in msvc-abi-logger/) throw into the module.
//
//   msvc_abi_host SCENARIO [MODULE]     run in the build's bin/ folder
//     session               every slot, textures, drawing, resets, thrown failures
//     logger-runtime-error  CreateOrvLogger throws a std::runtime_error
//     logger-int            CreateOrvLogger throws an int
//     leak                  10,000 failures of two kinds caught as std::exception& (a new
//                           file name each time); the growth of the heaps is printed and bounded
//     kinds                 each kind of exception host code throws, from the device or the
//                           logger, through every slot that reaches that code; a host handling
//                           one while more come back; host code calling the module back
//     threads               two renderers on two threads, failing thousands of times at once
// Every scenario runs with the module's import of RtlUnwind pointed at one that, as on Windows,
// does not keep the caller's registers; the names of the module's exception types are read
// through that runtime's type_info::name().
//   MODULE defaults to msvc/dd7r.dll.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <exception>
#include <stdexcept>
#include <string>

#include "HostDirectDraw.h"
#include "MsvcLoggerJournal.h"
#include "interface/ModuleExports.h"
#include "interface/Renderer.h"
#include "interface/RendererDevice.h"
#include "interface/Texture.h"

using namespace ZelUISystem;

namespace {

// ---- Checks ----

int failures;

void check(bool ok, int line, const char* what) {
    if (ok) return;
    ++failures;
    printf("FAILED (MsvcHost.cpp:%d): %s\n", line, what);
}
#define CHECK(condition) check((condition), __LINE__, #condition)

void checkEqual(unsigned long got, unsigned long expected, int line, const char* what) {
    if (got == expected) return;
    ++failures;
    printf("FAILED (MsvcHost.cpp:%d): %s is %lu (0x%lx), expected %lu (0x%lx)\n", line, what, got,
           got, expected, expected);
}
#define CHECK_EQ(got, expected) \
    checkEqual(static_cast<unsigned long>(got), static_cast<unsigned long>(expected), __LINE__, \
               #got)

void checkText(const char* got, const char* expected, int line, const char* what) {
    if (got != nullptr && strcmp(got, expected) == 0) return;
    ++failures;
    printf("FAILED (MsvcHost.cpp:%d): %s is \"%s\", expected \"%s\"\n", line, what,
           got != nullptr ? got : "(null)", expected);
}
#define CHECK_TEXT(got, expected) checkText((got), (expected), __LINE__, #got)

// ---- The base fields, read as the host's own std::string through the headers' accessors ----

struct RendererFields : Renderer {
    static const std::string& id(const Renderer* renderer) { return renderer->getIdString(); }
    // The host flag has no accessor: this view exists only to find its offset.
    static const bool& flag(const Renderer* renderer) {
        return static_cast<const RendererFields*>(renderer)->hostFlag;
    }

protected:
    ~RendererFields() = default;  // never made: a view of the module's object
};

struct TextureFields {
    static const std::string& file(const Texture* texture) { return texture->getFileName(); }
    static const std::string& folder(const Texture* texture) { return texture->getDirectory(); }
    static const std::string& path(const Texture* texture) { return texture->getResolvedPath(); }
};

long offsetIn(const void* object, const void* field) {
    return static_cast<const char*>(field) - static_cast<const char*>(object);
}

// Where that compiler puts the fields (x86): a 24-byte std::string after the table pointer
// and one float; in Texture after the table pointer, the kept-data pointer and its size.
void checkFieldOffsets(const Renderer* renderer, Texture* texture) {
    struct Row {
        const char* field;
        long offset;
        long expected;
    };
    const Row rows[] = {
        {"Renderer idString", offsetIn(renderer, &RendererFields::id(renderer)), 8},
        {"Renderer hostFlag", offsetIn(renderer, &RendererFields::flag(renderer)), 32},
        {"Texture fileName", offsetIn(texture, &TextureFields::file(texture)), 12},
        {"Texture directory", offsetIn(texture, &TextureFields::folder(texture)), 36},
        {"Texture inMemory", offsetIn(texture, &texture->inMemory), 60},
        {"Texture resolvedPath", offsetIn(texture, &TextureFields::path(texture)), 68},
    };
    for (const Row& row : rows) {
        if (row.offset == row.expected) continue;
        ++failures;
        printf("FAILED: %s at offset %ld, expected %ld\n", row.field, row.offset, row.expected);
    }
}

// ---- The slot numbers the host's compiler gives the createTexture overloads ----

// A Renderer of the host's own: each slot records its number, and the four overloads are then
// called through the table by the documented numbers (4 float, 5 file data, 6 file, 7 none).
class SlotProbe final : public Renderer {
public:
    SlotProbe() : Renderer(false) {}
    int slot = -1;
    float size = 0;
    const void* first = nullptr;
    std::uint32_t second = 0;

    void submitQuad(FloatRect, float, Texture*, FloatRect, CornerColours, std::int32_t) override {
        slot = 0;
    }
    void renderQueue() override { slot = 1; }
    void discardQueue() override { slot = 2; }
    void setQueueing(bool) override { slot = 3; }
    Texture* createTexture() override { return hit(7); }
    Texture* createTexture(const char* file, const char* folder) override {
        first = file;
        second = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(folder));
        return hit(6);
    }
    Texture* createTexture(const std::uint8_t* data, std::uint32_t bytes) override {
        first = data;
        second = bytes;
        return hit(5);
    }
    Texture* createTexture(float requested) override {
        size = requested;
        return hit(4);
    }
    void releaseTexture(Texture*) override { slot = 8; }
    void releaseAllTextures() override { slot = 9; }
    bool isQueueing() const override { return false; }
    float getDisplayWidth() const override { return 0; }
    float getDisplayHeight() const override { return 0; }
    void getDisplaySize(float*, float*) const override {}
    void getDisplayRect(float*, float*, float*, float*) const override {}
    std::uint32_t getTextureSizeLimit() const override { return 0; }
    std::uint32_t getHorzDpi() const override { return 0; }
    std::uint32_t getVertDpi() const override { return 0; }
    void preD3DReset() override { slot = 18; }
    void postD3DReset(bool*) override { slot = 19; }
    void reservedHookA(std::uint32_t, std::uint32_t) override {}
    void reservedHookB(std::uint32_t, std::uint32_t, std::uint32_t) override {}
    void setTargetSurface(IDirectDrawSurface7*) override { slot = 22; }
    void reservedHookC() override {}
    void reservedHookD() override {}
    void* destroy(std::uint32_t) override { return this; }

private:
    Texture* hit(int number) {
        slot = number;
        return nullptr;
    }
};

void checkCreateTextureSlots() {
    SlotProbe probe;
    void* const* table = *reinterpret_cast<void* const* const*>(&probe);
    static const std::uint8_t bytes[4] = {1, 2, 3, 4};
    static const char file[] = "file", folder[] = "folder";
    using BySize = Texture*(__thiscall*)(Renderer*, float);
    using ByData = Texture*(__thiscall*)(Renderer*, const std::uint8_t*, std::uint32_t);
    using ByFile = Texture*(__thiscall*)(Renderer*, const char*, const char*);
    using Empty = Texture*(__thiscall*)(Renderer*);

    reinterpret_cast<BySize>(table[4])(&probe, 16.5f);
    CHECK_EQ(probe.slot, 4);
    CHECK(probe.size == 16.5f);
    reinterpret_cast<ByData>(table[5])(&probe, bytes, 4);
    CHECK_EQ(probe.slot, 5);
    CHECK(probe.first == bytes && probe.second == 4);
    reinterpret_cast<ByFile>(table[6])(&probe, file, folder);
    CHECK_EQ(probe.slot, 6);
    CHECK(probe.first == file &&
          probe.second == static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(folder)));
    reinterpret_cast<Empty>(table[7])(&probe);
    CHECK_EQ(probe.slot, 7);
    reinterpret_cast<Empty>(table[18])(&probe);
    CHECK_EQ(probe.slot, 18);
}

// ---- DirectDraw: the display, the target, the census of live surfaces ----

struct Census {
    long live = 0;
    long locked = 0;  // surfaces that a Lock of their own refuses: someone left them locked
};

HRESULT __stdcall countSurface(IDirectDrawSurface7* surface, hostdd::SurfaceDesc*, void* context) {
    Census& census = *static_cast<Census*>(context);
    hostdd::SurfaceDesc desc{};
    desc.dwSize = sizeof desc;
    ++census.live;
    if (SUCCEEDED(hostdd::lock(surface, &desc, 0)))
        hostdd::unlock(surface);
    else
        ++census.locked;
    hostdd::release(surface);  // the enumeration added a reference for the callback
    return hostdd::kEnumNext;
}

Census takeCensus(IDirectDraw7* directDraw) {
    Census census;
    if (FAILED(hostdd::enumSurfaces(directDraw, hostdd::kEnumDoesExist | hostdd::kEnumAll,
                                    &census, countSurface)))
        census.live = -1;
    return census;
}

void checkSurfaces(IDirectDraw7* directDraw, long expectedLive, const char* after) {
    const Census census = takeCensus(directDraw);
    if (census.live == expectedLive && census.locked == 0) return;
    ++failures;
    printf("FAILED: after %s: %ld live surfaces (expected %ld), %ld locked\n", after, census.live,
           expectedLive, census.locked);
}

hostdd::PixelFormat xrgb32() {
    hostdd::PixelFormat format{};
    format.dwSize = sizeof format;
    format.dwFlags = hostdd::kPixelFormatRgb;
    format.dwRGBBitCount = 32;
    format.dwRBitMask = 0xFF0000;
    format.dwGBitMask = 0x00FF00;
    format.dwBBitMask = 0x0000FF;
    return format;
}

// DirectDraw at the normal cooperative level, with a 32-bit display.
IDirectDraw7* openDirectDraw() {
    static const GUID iidDirectDraw7 = {
        0x15e65ec0, 0x3b9c, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};
    void* object = nullptr;
    if (FAILED(DirectDrawCreateEx(nullptr, &object, iidDirectDraw7, nullptr))) return nullptr;
    IDirectDraw7* directDraw = static_cast<IDirectDraw7*>(object);
    hostdd::SurfaceDesc mode{};
    mode.dwSize = sizeof mode;
    if (FAILED(hostdd::setCooperativeLevel(directDraw, nullptr, hostdd::kCooperativeNormal)) ||
        FAILED(hostdd::getDisplayMode(directDraw, &mode)))
        return nullptr;
    if (mode.ddpfPixelFormat.dwRGBBitCount != 32 &&
        FAILED(hostdd::setDisplayMode(directDraw, mode.dwWidth, mode.dwHeight, 32)))
        return nullptr;
    return directDraw;
}

IDirectDrawSurface7* createTarget(IDirectDraw7* directDraw, DWORD width, DWORD height) {
    hostdd::SurfaceDesc desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = hostdd::kDdsdCaps | hostdd::kDdsdWidth | hostdd::kDdsdHeight |
                   hostdd::kDdsdPixelFormat;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddpfPixelFormat = xrgb32();
    desc.ddsCaps[0] = hostdd::kCapsOffscreenPlain | hostdd::kCapsSystemMemory;
    IDirectDrawSurface7* surface = nullptr;
    return SUCCEEDED(hostdd::createSurface(directDraw, &desc, &surface)) ? surface : nullptr;
}

bool fill(IDirectDrawSurface7* surface, DWORD colour) {
    hostdd::BltFx fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = colour;
    return SUCCEEDED(hostdd::blt(surface, nullptr, &fx, hostdd::kBltColorFill | hostdd::kBltWait));
}

// The pixel's red, green and blue as 0x00RRGGBB; 0xFFFFFFFF when the surface cannot be locked.
DWORD readPixel(IDirectDrawSurface7* surface, DWORD x, DWORD y) {
    hostdd::SurfaceDesc desc{};
    desc.dwSize = sizeof desc;
    if (FAILED(hostdd::lock(surface, &desc, hostdd::kLockWait))) return 0xFFFFFFFFu;
    const auto* row = static_cast<const std::uint8_t*>(desc.lpSurface) + y * desc.lPitch;
    const DWORD pixel = reinterpret_cast<const DWORD*>(row)[x] & 0x00FFFFFFu;
    hostdd::unlock(surface);
    return pixel;
}

// ---- The renderer device ----

int trackedAlive;  // the host's Tracked objects alive

class HostDevice final : public RendererDevice {
public:
    explicit HostDevice(IDirectDraw7* directDrawObject) : directDraw(directDrawObject) {}

    IDirectDraw7* directDraw;
    float width = 64.0f;
    float height = 48.0f;
    int calls[6] = {};
    int throwingSlot = -1;  // the slot that throws, -1 for none
    Throw throwKind = Throw::RuntimeError;
    const char* throwText = "";
    int throwValue = 7;  // of an int or a Tracked
    // How many Tracked objects were alive when the throwing slot's frame was unwound: that
    // runtime copies a thrown object before it unwinds, and destroys the original after.
    int trackedAliveWhenUnwound = -1;
    // Host code that queryDisplaySize runs first (a call back into the module).
    void (*duringDisplaySize)(void* context) = nullptr;
    void* hookContext = nullptr;

    void throwFrom(int slot, Throw kind, const char* text) {
        throwingSlot = slot;
        throwKind = kind;
        throwText = text;
    }

    IDirectDraw7* queryDirectDraw() override {
        called(0);
        return directDraw;
    }
    void reservedDeviceSlot() override { ++calls[1]; }
    void queryDisplaySize(float* w, float* h) override {
        if (duringDisplaySize != nullptr) duringDisplaySize(hookContext);
        called(2);
        *w = width;
        *h = height;
    }
    int queryBlendMode() override {
        called(3);
        return 0;  // quads are copied and composed off screen
    }
    int querySurfaceMemory() override {
        called(4);
        return 0;  // system memory
    }
    int queryTexturePixelFormat() override {
        called(5);
        return 0;  // the display's format
    }

private:
    void called(int slot) {
        ++calls[slot];
        struct UnwindWitness {
            int* record;
            ~UnwindWitness() {
                if (record != nullptr) *record = trackedAlive;
            }
        } witness{slot == throwingSlot ? &trackedAliveWhenUnwound : nullptr};
        if (slot == throwingSlot) throwAs(throwKind, throwText, throwValue, &trackedAlive);
    }
};

// ---- The module and the logging library ----

struct Module {
    HMODULE library = nullptr;
    CreateRendererFn createRenderer = nullptr;
    DestroyRendererFn destroyRenderer = nullptr;
    GetLastErrorStringFn lastError = nullptr;
};

HMODULE loadByPath(const char* path) {
    char full[1024];
    const DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) return nullptr;
    return LoadLibraryExA(full, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool loadModule(const char* path, Module& module) {
    HMODULE library = loadByPath(path);
    if (library == nullptr) return false;
    module.library = library;
    module.createRenderer =
        reinterpret_cast<CreateRendererFn>(GetProcAddress(library, "createRenderer"));
    module.destroyRenderer =
        reinterpret_cast<DestroyRendererFn>(GetProcAddress(library, "destroyRenderer"));
    module.lastError =
        reinterpret_cast<GetLastErrorStringFn>(GetProcAddress(library, "getLastErrorString"));
    return module.createRenderer && module.destroyRenderer && module.lastError;
}

#define LOGGER_DIRECTORY "msvc-abi-logger/"
const char* const kPrefix = "dd7r --> createRenderer() error : ";

MsvcLoggerJournal* loggerJournal() {
    HMODULE library = loadByPath(LOGGER_DIRECTORY "dll_logger.dll");
    auto journal = library != nullptr
                       ? reinterpret_cast<LoggerJournalFn>(GetProcAddress(library, "loggerJournal"))
                       : nullptr;
    return journal ? journal() : nullptr;
}

// The entries must appear in the journal in this order (other entries may come between); the
// slot the module never calls must not appear.
void checkJournalHolds(const MsvcLoggerJournal* journal, const char* const* expected, int count) {
    int next = 0;
    for (int i = 0; i < journal->callCount; ++i) {
        CHECK(strcmp(journal->calls[i], "reservedLoggerSlot") != 0);
        if (next < count && strcmp(journal->calls[i], expected[next]) == 0) ++next;
    }
    if (next == count) return;
    ++failures;
    printf("FAILED: the logging library never received (in order): \"%s\"; it received:\n",
           expected[next]);
    for (int i = 0; i < journal->callCount; ++i) printf("  %s\n", journal->calls[i]);
}

void setLoggerThrows(const char* mode) { SetEnvironmentVariableA(MSVC_ABI_LOGGER_THROWS, mode); }

std::string prefixed(const char* reason) {
    char text[512];
    _snprintf(text, sizeof text - 1, "%s%s", kPrefix, reason);
    text[sizeof text - 1] = '\0';
    return std::string(text);
}

// ---- Files the textures are made from ----

void putLittleEndian(std::uint8_t* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A 2 x 2, 24-bit BMP file: top row red, yellow; bottom row blue, green.
struct BmpFile {
    std::uint8_t bytes[70];
    BmpFile() {
        static const std::uint8_t rows[16] = {255, 0, 0, 0, 255, 0, 0, 0,
                                              0, 0, 255, 0, 255, 255, 0, 0};
        memset(bytes, 0, sizeof bytes);
        bytes[0] = 'B';
        bytes[1] = 'M';
        putLittleEndian(bytes + 2, sizeof bytes, 4);
        putLittleEndian(bytes + 10, 54, 4);
        putLittleEndian(bytes + 14, 40, 4);
        putLittleEndian(bytes + 18, 2, 4);
        putLittleEndian(bytes + 22, 2, 4);
        putLittleEndian(bytes + 26, 1, 2);
        putLittleEndian(bytes + 28, 24, 2);
        putLittleEndian(bytes + 34, 16, 4);
        memcpy(bytes + 54, rows, sizeof rows);
    }
};

bool writeFile(const char* name, const std::uint8_t* bytes, size_t size) {
    FILE* file = fopen(name, "wb");
    if (file == nullptr) return false;
    const bool written = fwrite(bytes, 1, size, file) == size;
    return fclose(file) == 0 && written;
}

// ---- Drawing ----

const CornerColours kWhite = {{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}};
const DWORD kBackground = 0x102030;

// A 2 x 2 texture stretched to 8 x 8 at (x, y): four blocks of 4 x 4 pixels, checked at
// their corners, and the background around them.
void drawAndCheckQuad(Renderer* renderer, Texture* texture, IDirectDrawSurface7* target, DWORD x,
                      DWORD y, const DWORD (&blocks)[4]) {
    const FloatRect destination = {float(x), float(y), float(x + 8), float(y + 8)};
    const FloatRect source = {0.0f, 0.0f, 2.0f, 2.0f};
    renderer->discardQueue();
    CHECK(fill(target, kBackground));
    renderer->submitQuad(destination, 1.0f, texture, source, kWhite, 0);
    renderer->renderQueue();
    struct Probe {
        DWORD dx, dy, expected;
    };
    const Probe probes[] = {
        {0, 0, blocks[0]}, {3, 3, blocks[0]}, {4, 0, blocks[1]}, {7, 3, blocks[1]},
        {0, 4, blocks[2]}, {3, 7, blocks[2]}, {4, 4, blocks[3]}, {7, 7, blocks[3]},
        {DWORD(-1), 0, kBackground}, {8, 7, kBackground},
        {4, DWORD(-1), kBackground}, {4, 8, kBackground},
    };
    for (const Probe& probe : probes) {
        const DWORD got = readPixel(target, x + probe.dx, y + probe.dy);
        if (got == probe.expected) continue;
        ++failures;
        printf("FAILED: pixel (%lu, %lu) is 0x%06lx, expected 0x%06lx\n", x + probe.dx,
               y + probe.dy, got, probe.expected);
    }
}

// ---- Thrown failures ----

// The name that runtime gives the dynamic type of a polymorphic object: typeid(*object).name()
// through msvcrt.dll itself, which writes the name it builds into the type descriptor.
const char* typeName(const void* object) {
    HMODULE runtime = GetModuleHandleA("msvcrt.dll");
    using TypeidFn = const void*(__cdecl*)(const void*);
    using NameFn = const char*(__thiscall*)(const void*);
    auto typeidOf = reinterpret_cast<TypeidFn>(GetProcAddress(runtime, "__RTtypeid"));
    auto nameOf = reinterpret_cast<NameFn>(GetProcAddress(runtime, "?name@type_info@@QBEPBDXZ"));
    if (typeidOf == nullptr || nameOf == nullptr) return "(no type_info::name)";
    return nameOf(typeidOf(object));
}

// What the host receives from `operation`, as one line: the type's name from that runtime and
// the text for a standard exception, the value for an int or a Tracked, "nothing" when it
// returns.
struct Received {
    char text[400] = "nothing";
};

template <typename Operation>
Received receive(Operation operation) {
    Received got;
    try {
        operation();
    } catch (const my_error& error) {
        _snprintf(got.text, sizeof got.text - 1, "%s %d: %s", typeName(&error), error.code, error.what());
    } catch (const std::exception& error) {
        _snprintf(got.text, sizeof got.text - 1, "%s: %s", typeName(&error), error.what());
    } catch (int value) {
        _snprintf(got.text, sizeof got.text - 1, "int %d", value);
    } catch (const Tracked& tracked) {
        _snprintf(got.text, sizeof got.text - 1, "Tracked %d", tracked.value);
    } catch (...) {
        _snprintf(got.text, sizeof got.text - 1, "something else");
    }
    return got;
}

enum class Arrives {
    PlainException,  // a std::exception that is not a std::runtime_error
    RuntimeError,    // a std::runtime_error
};

// Runs `operation`, which must throw; catches it as std::exception& and checks the exact text,
// rethrows it to see whether it is a std::runtime_error as well; then checks that `live`
// surfaces exist and none is left locked.
template <typename Operation>
void expectThrow(IDirectDraw7* directDraw, long live, const char* name, Arrives arrives,
                 const char* expected, Operation operation) {
    try {
        operation();
        ++failures;
        printf("FAILED: %s threw nothing\n", name);
    } catch (const std::exception& error) {
        checkText(error.what(), expected, __LINE__, name);
        checkText(typeName(&error), arrives == Arrives::RuntimeError ? "class std::runtime_error"
                                                                      : "class std::exception",
                  __LINE__, name);
        bool runtimeError = false;
        try {
            throw;
        } catch (const std::runtime_error&) {
            runtimeError = true;
        } catch (...) {
        }
        if (runtimeError != (arrives == Arrives::RuntimeError)) {
            ++failures;
            printf("FAILED: %s arrived %s std::runtime_error\n", name,
                   runtimeError ? "as a" : "as no");
        }
    } catch (...) {
        ++failures;
        printf("FAILED: %s threw something that is no std::exception\n", name);
    }
    checkSurfaces(directDraw, live, name);
}

// ---- The session ----

struct Session {
    Module module;
    IDirectDraw7* directDraw = nullptr;
    IDirectDrawSurface7* target = nullptr;
};

const char* const kMissingFile = "CDD7Texture::loadFromFile -- load file error.";
const char* const kNoFileData =
    "CDD7Texture::loadFromFileData -- Failed to load image from file data.";

void checkFailedCreations(Session& session) {
    struct Row {
        int slot;  // the device slot that throws, or -1
        Throw kind;
        bool nullDevice;
        bool noDirectDraw;
        const char* reason;  // what follows the prefix in the last-error text
    };
    static const Row rows[] = {
        {-1, Throw::RuntimeError, true, false,
         "CDD7Render::CDD7Render() --> Renderer device is NULL."},
        {-1, Throw::RuntimeError, false, true,
         "CDD7Render::CDD7Render() --> Renderer device can't get aviliable IDirectDraw7 object."},
        {0, Throw::RuntimeError, false, false, "host device: no DirectDraw today"},
        {4, Throw::RuntimeError, false, false, "host device: no surface memory today"},
        {5, Throw::Int, false, false, "Unknow error!"},
        {3, Throw::MyError, false, false, "host device: no blend mode today"},
        {2, Throw::BadAlloc, false, false, "bad allocation"},
        {0, Throw::Tracked, false, false, "Unknow error!"},
    };
    for (const Row& row : rows) {
        HostDevice device(row.noDirectDraw ? nullptr : session.directDraw);
        if (row.slot >= 0) device.throwFrom(row.slot, row.kind, row.reason);
        Renderer* renderer = nullptr;
        try {
            renderer = session.module.createRenderer(row.nullDevice ? nullptr : &device, 0, false,
                                                     LOGGER_DIRECTORY, 5, 6);
        } catch (...) {
            ++failures;
            printf("FAILED: createRenderer let an exception out (%s)\n", row.reason);
        }
        CHECK(renderer == nullptr);
        CHECK_TEXT(session.module.lastError(), prefixed(row.reason).c_str());
        if (row.slot >= 0) CHECK_EQ(device.calls[row.slot], 1);
        CHECK_EQ(trackedAlive, 0);
        checkSurfaces(session.directDraw, 1, row.reason);
    }
}

void checkSimpleSlots(Renderer* renderer) {
    float w = 0, h = 0, left = -1, top = -1, right = 0, bottom = 0;
    CHECK(renderer->isQueueing());
    renderer->setQueueing(false);
    CHECK(!renderer->isQueueing());
    renderer->setQueueing(true);
    CHECK(renderer->isQueueing());
    CHECK(renderer->getDisplayWidth() == 64.0f);
    CHECK(renderer->getDisplayHeight() == 48.0f);
    renderer->getDisplaySize(&w, &h);
    CHECK(w == 64.0f && h == 48.0f);
    renderer->getDisplayRect(&left, &top, &right, &bottom);
    CHECK(left == 0.0f && top == 0.0f && right == 64.0f && bottom == 48.0f);
    CHECK_EQ(renderer->getTextureSizeLimit(), 48);
    CHECK_EQ(renderer->getHorzDpi(), 96);
    CHECK_EQ(renderer->getVertDpi(), 96);
    // Slots with stack arguments that do nothing: caller and callee must agree on who pops.
    for (int round = 0; round < 1000; ++round) {
        renderer->reservedHookA(1, 2);
        renderer->reservedHookB(1, 2, 3);
        renderer->reservedHookC();
        renderer->reservedHookD();
    }
}

void checkTextureSize(const Texture* texture, std::uint32_t width, std::uint32_t height) {
    CHECK_EQ(texture->getWidth(), width);
    CHECK_EQ(texture->getImageWidth(), width);
    CHECK(texture->getHorzScale() == 1.0f / float(width));
    CHECK_EQ(texture->getHeight(), height);
    CHECK_EQ(texture->getImageHeight(), height);
    CHECK(texture->getVertScale() == 1.0f / float(height));
}

const char* const kTextureFile = "msvc-host-texture.bmp";  // 21 characters: a separate block

int runSession(Session& session) {
    const BmpFile bmp;
    CHECK(writeFile(kTextureFile, bmp.bytes, sizeof bmp.bytes));
    checkCreateTextureSlots();
    checkFailedCreations(session);

    HostDevice device(session.directDraw);
    Renderer* renderer = session.module.createRenderer(&device, 0, true, LOGGER_DIRECTORY, 5, 6);
    CHECK(renderer != nullptr);
    if (renderer == nullptr) return 1;
    checkSurfaces(session.directDraw, 3, "createRenderer");  // the target, scratch, composition

    const std::string& id = RendererFields::id(renderer);
    CHECK_TEXT(id.c_str(), "CDD7Render - DirectDraw 7 based renderer module");
    CHECK_EQ(id.size(), 47);
    CHECK(id.isLarge());
    CHECK(RendererFields::flag(renderer));
    checkSimpleSlots(renderer);
    renderer->setTargetSurface(session.target);

    // Raw pixels kept by the texture (the host writes inMemory), then one texel replaced.
    static const std::uint8_t pixels[16] = {255, 0, 0, 255, 0, 255, 0, 255,
                                            0, 0, 255, 255, 128, 128, 128, 255};
    static const std::uint8_t yellow[4] = {255, 255, 0, 255};
    Texture* pixelTexture = renderer->createTexture();
    CHECK(pixelTexture != nullptr);
    if (pixelTexture == nullptr) return 1;
    CHECK(!pixelTexture->inMemory);
    pixelTexture->inMemory = true;
    pixelTexture->loadFromMemory(pixels, 2, 2, TEXFMT_RGBA);
    pixelTexture->fillFromMemory(yellow, 1, 1, 1, 1, 4, TEXFMT_RGBA);
    checkTextureSize(pixelTexture, 2, 2);
    checkFieldOffsets(renderer, pixelTexture);
    drawAndCheckQuad(renderer, pixelTexture, session.target, 8, 8,
                     {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00});

    Texture* fileTexture = renderer->createTexture(kTextureFile, ".");
    CHECK(fileTexture != nullptr);
    if (fileTexture == nullptr) return 1;
    checkTextureSize(fileTexture, 2, 2);
    CHECK_TEXT(TextureFields::file(fileTexture).c_str(), kTextureFile);
    CHECK(TextureFields::file(fileTexture).isLarge());
    CHECK_TEXT(TextureFields::folder(fileTexture).c_str(), ".");
    CHECK(!TextureFields::folder(fileTexture).isLarge());
    CHECK_TEXT(TextureFields::path(fileTexture).c_str(), "./msvc-host-texture.bmp");
    CHECK_EQ(TextureFields::path(fileTexture).size(), 23);
    drawAndCheckQuad(renderer, fileTexture, session.target, 24, 8,
                     {0xFF0000, 0xFFFF00, 0x0000FF, 0x00FF00});

    Texture* dataTexture = renderer->createTexture(bmp.bytes, sizeof bmp.bytes);
    CHECK(dataTexture != nullptr);
    if (dataTexture != nullptr) checkTextureSize(dataTexture, 2, 2);
    Texture* sizedTexture = renderer->createTexture(16.0f);
    CHECK(sizedTexture != nullptr);
    if (sizedTexture == nullptr) return 1;
    CHECK_EQ(sizedTexture->getWidth(), 0);
    checkSurfaces(session.directDraw, 6, "four textures, three with a picture");
    // The two loaders called by the host itself; an empty directory stays an empty string.
    sizedTexture->loadFromFileData(bmp.bytes, sizeof bmp.bytes);
    checkTextureSize(sizedTexture, 2, 2);
    sizedTexture->loadFromFile(kTextureFile, "");
    checkTextureSize(sizedTexture, 2, 2);
    CHECK_TEXT(TextureFields::file(sizedTexture).c_str(), kTextureFile);
    CHECK(TextureFields::folder(sizedTexture).empty());
    CHECK_EQ(TextureFields::folder(sizedTexture).capacity(), 15);
    CHECK_TEXT(TextureFields::path(sizedTexture).c_str(), kTextureFile);
    checkSurfaces(session.directDraw, 7, "the host's own loads");

    // Failures that reach the host, with their exact texts; `empty` has no picture.
    Texture* empty = renderer->createTexture();
    struct ThrowRow {
        const char* name;
        Arrives arrives;
        const char* text;
        void (*operation)(Renderer*, Texture* empty);
    };
    static const ThrowRow throwRows[] = {
        {"createTexture from a missing file", Arrives::PlainException,
         "CDD7Render::createTexture failed from file : nowheremissing.bmp"
         "(CDD7Texture::loadFromFile -- load file error.)",
         [](Renderer* r, Texture*) { r->createTexture("missing.bmp", "nowhere"); }},
        {"createTexture from no file data", Arrives::PlainException,
         "CDD7Render::createTexture failed from file data : "
         "(CDD7Texture::loadFromFileData -- Failed to load image from file data.)",
         [](Renderer* r, Texture*) {
             r->createTexture(static_cast<const std::uint8_t*>(nullptr), 0);
         }},
        {"loadFromFile of a missing file", Arrives::RuntimeError, kMissingFile,
         [](Renderer*, Texture* t) { t->loadFromFile("missing.bmp", ""); }},
        {"loadFromFileData without data", Arrives::RuntimeError, kNoFileData,
         [](Renderer*, Texture* t) { t->loadFromFileData(nullptr, 10); }},
        {"loadFromMemory of 40000 x 1", Arrives::RuntimeError,
         "CDD7Texture::CreateSurface -- Failed to create Texture object.(DDERR_INVALIDPARAMS) ",
         [](Renderer*, Texture* t) { t->loadFromMemory(pixels, 40000, 1, TEXFMT_RGBA); }},
    };
    for (const ThrowRow& row : throwRows)
        expectThrow(session.directDraw, 7, row.name, row.arrives, row.text,
                    [&] { row.operation(renderer, empty); });

    // Once caught by value, once by catch (...).
    bool caught = false;
    try {
        renderer->createTexture("missing.bmp", "");
    } catch (std::exception error) {
        caught = true;
        CHECK_TEXT(error.what(), "CDD7Render::createTexture failed from file : missing.bmp"
                                 "(CDD7Texture::loadFromFile -- load file error.)");
    }
    CHECK(caught);
    checkSurfaces(session.directDraw, 7, "a failure caught by value");
    caught = false;
    try {
        empty->loadFromFile("missing.bmp", "");
    } catch (...) {
        caught = true;
    }
    CHECK(caught);
    checkSurfaces(session.directDraw, 7, "a failure caught by catch (...)");

    // postD3DReset while the device has no DirectDraw; the next one takes it again.
    bool sizeChanged = true;
    device.directDraw = nullptr;
    expectThrow(session.directDraw, 7, "postD3DReset without DirectDraw",
                Arrives::RuntimeError, "CDD7Render can't get the IDirectDraw7 device.",
                [&] { renderer->postD3DReset(&sizeChanged); });
    CHECK(sizeChanged);  // not written
    device.directDraw = session.directDraw;
    renderer->postD3DReset(&sizeChanged);
    CHECK(!sizeChanged);

    // The device throws while drawing rebuilds a texture, and while a reset rebuilds.
    renderer->preD3DReset();
    checkSurfaces(session.directDraw, 1, "preD3DReset");  // the target only
    device.throwFrom(4, Throw::RuntimeError, "host device: surface memory unknown");
    renderer->setQueueing(false);
    expectThrow(session.directDraw, 1, "submitQuad whose rebuild meets a throwing device",
                Arrives::RuntimeError, "host device: surface memory unknown", [&] {
                    renderer->submitQuad({8, 8, 16, 16}, 1.0f, pixelTexture, {0, 0, 2, 2},
                                         kWhite, 0);
                });
    renderer->setQueueing(true);
    device.throwFrom(2, Throw::RuntimeError, "host device: display size unknown");
    expectThrow(session.directDraw, 1, "postD3DReset with a throwing device",
                Arrives::RuntimeError, "host device: display size unknown",
                [&] { renderer->postD3DReset(&sizeChanged); });
    device.throwFrom(-1, Throw::RuntimeError, "");
    renderer->postD3DReset(&sizeChanged);
    CHECK(!sizeChanged);
    checkSurfaces(session.directDraw, 7, "postD3DReset after the throwing device");

    // Rebuilt from the kept pixels (without the replaced texel) and from the file.
    drawAndCheckQuad(renderer, pixelTexture, session.target, 8, 24,
                     {0xFF0000, 0x00FF00, 0x0000FF, 0x808080});
    drawAndCheckQuad(renderer, fileTexture, session.target, 24, 24,
                     {0xFF0000, 0xFFFF00, 0x0000FF, 0x00FF00});
    renderer->discardQueue();

    // A reset with a display that grew.
    renderer->preD3DReset();
    device.width = 80.0f;
    device.height = 60.0f;
    renderer->postD3DReset(&sizeChanged);
    CHECK(sizeChanged);
    CHECK(renderer->getDisplayWidth() == 80.0f && renderer->getDisplayHeight() == 60.0f);
    checkSurfaces(session.directDraw, 7, "a reset to 80 x 60");

    renderer->releaseTexture(fileTexture);
    checkSurfaces(session.directDraw, 6, "releaseTexture");
    renderer->releaseAllTextures();
    checkSurfaces(session.directDraw, 3, "releaseAllTextures");  // the renderer's own two again
    renderer->setTargetSurface(nullptr);
    session.module.destroyRenderer(renderer);
    checkSurfaces(session.directDraw, 1, "destroyRenderer");

    // Slot 25 called by the host: the renderer destroys and frees itself; the logger it shared
    // stays until destroyRenderer(nullptr).
    Renderer* second = session.module.createRenderer(&device, 0, false, LOGGER_DIRECTORY, 5, 6);
    CHECK(second != nullptr);
    if (second != nullptr) CHECK(second->destroy(kDestroyAndFree) == second);
    checkSurfaces(session.directDraw, 1, "the destroy slot");
    session.module.destroyRenderer(nullptr);
    CHECK_EQ(device.calls[1], 0);

    MsvcLoggerJournal* journal = loggerJournal();
    CHECK(journal != nullptr);
    if (journal != nullptr) {
        static const char* const expected[] = {
            "GetLogLevelFromIniFile " LOGGER_DIRECTORY " dd7r KelLogger.ini",
            "CreateOrvLogger 5 6 dd7r 4",
            "reportFatal 1 CDD7Render::CDD7Render() --> Renderer device is NULL.",
            ("reportFatal 1 CDD7Render::CDD7Render() --> Renderer device can't get aviliable "
             "IDirectDraw7 object."),
            "reportFatal 1 host device: no DirectDraw today",
            "reportFatal 1 host device: no surface memory today",
            "reportFatal 1 dd7r --> createRenderer() error : Unknow error!",
            "reportFatal 1 CDD7Texture::loadFromFileData -- Failed to load image from file data.",
            "reportFatal 1 CDD7Render can't get the IDirectDraw7 device.",
            "log 4 CDD7Render::setDisplaySize (width 80.000000, height 60.000000)",
            "log 4 CDD7Render::postD3DReset (width 80.000000, height 60.000000)",
            "destroy 1",
            "CreateOrvLogger 5 6 dd7r 4",
            "destroy 1",
        };
        checkJournalHolds(journal, expected, sizeof expected / sizeof expected[0]);
        CHECK_EQ(journal->loggersAlive, 0);
        CHECK_EQ(journal->foreignObjectCalls, 0);
    }
    remove(kTextureFile);
    return 0;
}

// ---- CreateOrvLogger throws ----

// The module works on afterwards: a renderer with a logger, destroyed.
void checkCreationAfterLoggerThrew(Session& session, HostDevice& device) {
    setLoggerThrows(nullptr);
    Renderer* renderer = session.module.createRenderer(&device, 0, false, LOGGER_DIRECTORY, 5, 6);
    CHECK(renderer != nullptr);
    checkSurfaces(session.directDraw, 3, "createRenderer after the logger's throw");
    if (renderer != nullptr) session.module.destroyRenderer(renderer);
    checkSurfaces(session.directDraw, 1, "destroyRenderer");
}

void checkLoggerJournal(const char* const* expected, int count) {
    MsvcLoggerJournal* journal = loggerJournal();
    CHECK(journal != nullptr);
    if (journal == nullptr) return;
    checkJournalHolds(journal, expected, count);
    CHECK_EQ(journal->loggersAlive, 0);
}

// Whatever CreateOrvLogger throws, createRenderer returns null with the prefixed text (the
// standard exception's own, else "Unknow error!"), handed to the library's error entry too.
int runLoggerThrows(Session& session, const char* throws, const char* reason) {
    HostDevice device(session.directDraw);
    setLoggerThrows(throws);
    Renderer* renderer = nullptr;
    try {
        renderer = session.module.createRenderer(&device, 0, false, LOGGER_DIRECTORY, 5, 6);
    } catch (...) {
        ++failures;
        printf("FAILED: what CreateOrvLogger threw (%s) left createRenderer\n", throws);
    }
    CHECK(renderer == nullptr);
    const std::string whole = prefixed(reason);
    CHECK_TEXT(session.module.lastError(), whole.c_str());
    checkSurfaces(session.directDraw, 1, "CreateOrvLogger threw");
    checkCreationAfterLoggerThrew(session, device);
    char reported[300];
    _snprintf(reported, sizeof reported - 1, "unRecoveryError %s", whole.c_str());
    reported[sizeof reported - 1] = '\0';
    const char* const expected[] = {
        "CreateOrvLogger 5 6 dd7r 4",
        reported,
        "CreateOrvLogger 5 6 dd7r 4",
        "destroy 1",
    };
    checkLoggerJournal(expected, sizeof expected / sizeof expected[0]);
    return 0;
}

int runLoggerRuntimeError(Session& session) {
    return runLoggerThrows(session, "runtime_error:msvc logger: no log file today",
                           "msvc logger: no log file today");
}

int runLoggerInt(Session& session) { return runLoggerThrows(session, "int:2607", "Unknow error!"); }

// ---- Leaks: many failures, heap bytes before and after ----

// Bytes in use in every heap of the process (the C runtime's included).
long long heapBytesInUse() {
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    long long bytes = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY entry{};
        if (!HeapLock(heaps[i])) continue;
        while (HeapWalk(heaps[i], &entry))
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) bytes += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return bytes;
}

// Committed memory of the process (Wine reports no private bytes, only this).
long long committedBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
    return static_cast<long long>(counters.PagefileUsage);
}

constexpr int kLeakRounds = 10000;
constexpr long long kHeapGrowthBound = 64 * 1024;

// operation(round, expected) must throw a standard exception whose text it writes to expected.
template <typename Operation>
void checkNoLeak(const char* name, Operation operation) {
    int caught = 0;
    int number = 0;
    auto round = [&] {
        char expected[400] = "";
        try {
            operation(number++, expected);
        } catch (const std::exception& error) {
            if (strcmp(error.what(), expected) == 0) ++caught;
        }
    };
    for (int i = 0; i < 100; ++i) round();  // first-use allocations settle
    caught = 0;
    const long long heapBefore = heapBytesInUse();
    const long long committedBefore = committedBytes();
    for (int i = 0; i < kLeakRounds; ++i) round();
    const long long heapGrowth = heapBytesInUse() - heapBefore;
    const long long committedGrowth = committedBytes() - committedBefore;
    printf("leak check, %s: %d throws caught; heap bytes in use grew by %lld, committed "
           "bytes by %lld\n", name, caught, heapGrowth, committedGrowth);
    CHECK_EQ(caught, kLeakRounds);
    if (heapGrowth > kHeapGrowthBound) {
        ++failures;
        printf("FAILED: %s: the heap grew by %lld bytes over %d throws (bound %lld)\n", name,
               heapGrowth, kLeakRounds, kHeapGrowthBound);
    }
}

int runLeak(Session& session) {
    HostDevice device(session.directDraw);
    Renderer* renderer = session.module.createRenderer(&device, 0, false, LOGGER_DIRECTORY, 5, 6);
    CHECK(renderer != nullptr);
    if (renderer == nullptr) return 1;
    renderer->setTargetSurface(session.target);
    static const std::uint8_t pixels[4] = {255, 0, 0, 255};
    Texture* texture = renderer->createTexture();
    texture->inMemory = true;
    texture->loadFromMemory(pixels, 1, 1, TEXFMT_RGBA);

    // A new file name every time: nothing of a failure's text may stay behind.
    checkNoLeak("createTexture from a missing file, a new name each time",
                [&](int round, char* expected) {
                    char name[64];
                    _snprintf(name, sizeof name - 1, "missing-%d.bmp", round);
                    name[sizeof name - 1] = '\0';
                    _snprintf(expected, 399, "CDD7Render::createTexture failed from file : nowhere%s"
                              "(CDD7Texture::loadFromFile -- load file error.)", name);
                    renderer->createTexture(name, "nowhere");
                });
    // The device's own exceptions, thrown into the module and back out of it.
    renderer->preD3DReset();
    renderer->setQueueing(false);
    device.throwFrom(4, Throw::RuntimeError, "host device: surface memory unknown");
    checkNoLeak("submitQuad whose rebuild meets a throwing device",
                [&](int, char* expected) {
                    strcpy(expected, "host device: surface memory unknown");
                    renderer->submitQuad({0, 0, 1, 1}, 1.0f, texture, {0, 0, 1, 1}, kWhite, 0);
                });
    device.throwFrom(-1, Throw::RuntimeError, "");
    bool sizeChanged = false;
    renderer->postD3DReset(&sizeChanged);
    checkSurfaces(session.directDraw, 4, "the leak rounds");
    renderer->setTargetSurface(nullptr);
    session.module.destroyRenderer(renderer);
    checkSurfaces(session.directDraw, 1, "destroyRenderer");
    return 0;
}

// ---- Every kind a host's code throws, through every slot that reaches that code ----

const char* const kDeviceText = "host device: not today";
const char* const kLoggerText = "msvc logger: no log today";

// How a slot reports what host code threw inside it.
enum class Reports {
    Unchanged,  // the very object the host's code threw
    InOwnWords, // a std::exception with the slot's prefix and the reason in parentheses
};

// What the host receives when its code threw `kind` with `text` (value 7) inside a slot.
std::string expectedFor(Throw kind, const char* text, Reports reports, const char* prefix) {
    char line[400];
    const char* reason = kind == Throw::BadAlloc ? "bad allocation"
                         : kind == Throw::Int || kind == Throw::Tracked ? "Unknown error!"
                                                                        : text;
    if (reports == Reports::InOwnWords)
        _snprintf(line, sizeof line - 1, "class std::exception: %s(%s)", prefix, reason);
    else if (kind == Throw::RuntimeError)
        _snprintf(line, sizeof line - 1, "class std::runtime_error: %s", text);
    else if (kind == Throw::MyError)
        _snprintf(line, sizeof line - 1, "class my_error 2607: %s", text);
    else if (kind == Throw::BadAlloc)
        _snprintf(line, sizeof line - 1, "class std::bad_alloc: bad allocation");
    else
        _snprintf(line, sizeof line - 1, "%s 7", kind == Throw::Int ? "int" : "Tracked");
    line[sizeof line - 1] = '\0';
    return std::string(line);
}

struct KindsFixture {
    Renderer* renderer;
    Texture* empty;  // no surface: loading makes one
    Texture* kept;   // keeps its pixels: drawing after a reset rebuilds it
    BmpFile bmp;
};

const char* const kKindsFile = "msvc-abi-kinds.bmp";
const std::uint8_t kPixel[4] = {255, 0, 0, 255};

void checkEveryKind(Session& session, HostDevice& device, MsvcLoggerJournal* journal,
                    KindsFixture& fixture) {
    struct Row {
        const char* slot;
        int deviceSlot;  // -1: the logger's log throws
        Reports reports;
        const char* prefix;  // the slot's own words for a failure
        void (*operation)(const KindsFixture&);
    };
    // createTexture(size) makes no surface, so it never reaches the device.
    const Reports own = Reports::InOwnWords, unchanged = Reports::Unchanged;
    static const Row rows[] = {
        {"createTexture(file data)", 5, own, "CDD7Render::createTexture failed from file data : ",
         [](const KindsFixture& f) { f.renderer->createTexture(f.bmp.bytes, sizeof f.bmp.bytes); }},
        {"createTexture(file)", 4, own, "CDD7Render::createTexture failed from file : msvc-abi-kinds.bmp",
         [](const KindsFixture& f) { f.renderer->createTexture(kKindsFile, ""); }},
        {"loadFromMemory", 4, unchanged, nullptr,
         [](const KindsFixture& f) { f.empty->loadFromMemory(kPixel, 1, 1, TEXFMT_RGBA); }},
        {"loadFromFileData", 5, unchanged, nullptr,
         [](const KindsFixture& f) { f.empty->loadFromFileData(f.bmp.bytes, sizeof f.bmp.bytes); }},
        {"loadFromFile", 4, unchanged, nullptr, [](const KindsFixture& f) { f.empty->loadFromFile(kKindsFile, ""); }},
        {"postD3DReset (queryDirectDraw)", 0, unchanged, nullptr, [](const KindsFixture& f) {
             bool changed;
             f.renderer->postD3DReset(&changed);
         }},
        {"postD3DReset (queryDisplaySize)", 2, unchanged, nullptr, [](const KindsFixture& f) {
             bool changed;
             f.renderer->preD3DReset();
             f.renderer->postD3DReset(&changed);
         }},
        {"postD3DReset (the logger's log)", -1, unchanged, nullptr, [](const KindsFixture& f) {
             bool changed;
             f.renderer->preD3DReset();
             f.renderer->postD3DReset(&changed);
         }},
        {"submitQuad rebuilding a texture", 4, unchanged, nullptr, [](const KindsFixture& f) {
             f.renderer->preD3DReset();
             f.renderer->setQueueing(false);
             f.renderer->submitQuad({0, 0, 1, 1}, 1.0f, f.kept, {0, 0, 1, 1}, kWhite, 0);
         }},
        {"renderQueue rebuilding a texture", 4, unchanged, nullptr, [](const KindsFixture& f) {
             f.renderer->preD3DReset();
             f.renderer->submitQuad({0, 0, 1, 1}, 1.0f, f.kept, {0, 0, 1, 1}, kWhite, 0);
             f.renderer->renderQueue();
         }},
    };
    const Throw kinds[] = {Throw::RuntimeError, Throw::MyError, Throw::BadAlloc, Throw::Int,
                           Throw::Tracked};
    const long live = takeCensus(session.directDraw).live;
    for (const Row& row : rows) {
        for (Throw kind : kinds) {
            const bool fromLogger = row.deviceSlot < 0;
            if (fromLogger)
                journal->logThrows = kind;
            else
                device.throwFrom(row.deviceSlot, kind, kDeviceText);
            device.trackedAliveWhenUnwound = -1;
            const Received got = receive([&] { row.operation(fixture); });
            device.throwFrom(-1, Throw::None, "");
            if (kind == Throw::Tracked && !fromLogger) CHECK_EQ(device.trackedAliveWhenUnwound, 2);
            journal->logThrows = Throw::None;
            const std::string expected =
                expectedFor(kind, fromLogger ? kLoggerText : kDeviceText, row.reports, row.prefix);
            printf("%-34s %-60s\n", row.slot, got.text);
            checkText(got.text, expected.c_str(), __LINE__, row.slot);
            bool changed;
            fixture.renderer->setQueueing(true);
            fixture.renderer->discardQueue();
            fixture.renderer->postD3DReset(&changed);
            CHECK_EQ(trackedAlive, 0);
            CHECK_EQ(journal->trackedAlive, 0);
            checkSurfaces(session.directDraw, live, row.slot);
        }
    }
}

// releaseAllTextures makes the renderer's own textures again, asking the device: a standard
// failure there is the renderer's to handle (it makes them at the next reset); anything else the
// device threw goes back to the host unchanged.
void checkReleaseAll(HostDevice& device, Renderer* renderer) {
    const Throw kinds[] = {Throw::RuntimeError, Throw::MyError, Throw::BadAlloc, Throw::Int,
                           Throw::Tracked};
    for (Throw kind : kinds) {
        device.throwFrom(4, kind, kDeviceText);
        const Received got = receive([&] { renderer->releaseAllTextures(); });
        device.throwFrom(-1, Throw::None, "");
        const bool standard = kind != Throw::Int && kind != Throw::Tracked;
        const std::string expected =
            standard ? std::string("nothing") : expectedFor(kind, kDeviceText, Reports::Unchanged, nullptr);
        printf("%-34s %-60s\n", "releaseAllTextures", got.text);
        checkText(got.text, expected.c_str(), __LINE__, "releaseAllTextures");
        bool changed;
        renderer->postD3DReset(&changed);
        CHECK_EQ(trackedAlive, 0);
    }
}

// A host handling one of its exceptions while more come back: each keeps its own object.
void checkNested(HostDevice& device, Renderer* renderer) {
    bool changed;
    device.throwFrom(2, Throw::Tracked, "");
    device.throwValue = 1;
    // The object is read through a pointer taken at the start of the catch (read through the
    // catch parameter after the inner calls, this host crashed on a garbage reference).
    const Tracked* volatile held = nullptr;
    try {
        renderer->preD3DReset();
        renderer->postD3DReset(&changed);
    } catch (const Tracked& first) {
        held = &first;
        for (int value = 2; value <= 3; ++value) {
            device.throwValue = value;
            const Received inner = receive([&] { renderer->postD3DReset(&changed); });
            char expected[32];
            _snprintf(expected, sizeof expected - 1, "Tracked %d", value);
            CHECK_TEXT(inner.text, expected);
        }
        CHECK_EQ(held->value, 1);
        CHECK_EQ(trackedAlive, 1);
    }
    device.throwFrom(-1, Throw::None, "");
    device.throwValue = 7;
    renderer->postD3DReset(&changed);
    CHECK_EQ(trackedAlive, 0);
}

// Host code called from inside a slot calls the module back: that call has a boundary of its
// own, whether the host catches what it raises or lets it travel on through the outer slot.
struct CallBack {
    enum Mode { HostCatches, PassesFailure, PassesHandedBack } mode;
    Renderer* renderer;
    Texture* texture;
    HostDevice* device;
    Received received;
};

void callBack(void* context) {
    auto* call = static_cast<CallBack*>(context);
    if (call->mode == CallBack::HostCatches)
        call->received = receive([&] { call->renderer->createTexture("missing.bmp", ""); });
    if (call->mode == CallBack::PassesFailure) call->renderer->createTexture("missing.bmp", "");
    if (call->mode == CallBack::PassesHandedBack) {
        call->device->throwFrom(4, Throw::Tracked, "");  // a loader hands back the host's object
        call->texture->loadFromMemory(kPixel, 1, 1, TEXFMT_RGBA);
    }
}

void checkCallsBack(HostDevice& device, Renderer* renderer, Texture* texture) {
    const char* const missing =
        "class std::exception: CDD7Render::createTexture failed from file : missing.bmp"
        "(CDD7Texture::loadFromFile -- load file error.)";
    struct Row {
        CallBack::Mode mode;
        const char* inHostCode;  // what the host's code received inside the device slot
        const char* outside;     // what the host received from the outer slot
    };
    const Row rows[] = {
        {CallBack::HostCatches, missing, "nothing"},
        {CallBack::PassesFailure, "nothing", missing},
        {CallBack::PassesHandedBack, "nothing", "Tracked 7"},
    };
    device.duringDisplaySize = callBack;
    for (const Row& row : rows) {
        CallBack call{row.mode, renderer, texture, &device, {}};
        device.hookContext = &call;
        const Received outer = receive([&] {
            bool changed;
            renderer->preD3DReset();
            renderer->postD3DReset(&changed);
        });
        device.throwFrom(-1, Throw::None, "");
        CHECK_TEXT(call.received.text, row.inHostCode);
        CHECK_TEXT(outer.text, row.outside);
        CHECK_EQ(trackedAlive, 0);
    }
    device.duringDisplaySize = nullptr;
    bool changed;
    renderer->postD3DReset(&changed);
}

bool redirectImport(HMODULE module, const char* function, void* replacement, void** original);

// The module's malloc (its operator new, its texts, the copies it keeps of the host's objects)
// fails once, at the allocation `failingAllocation` counts down to.
int failingAllocation;
void* realModuleMalloc;
void* __cdecl failingMalloc(size_t size) {
    if (failingAllocation > 0 && --failingAllocation == 0) return nullptr;
    return reinterpret_cast<void*(__cdecl*)(size_t)>(realModuleMalloc)(size);
}

// Memory running out at any one allocation inside a failing call, the boundary's own included:
// the host still gets an exception it can catch, of the slot's own kind (createTexture's texts
// then name what ran out) or std::bad_alloc.
void checkOutOfMemory(Session& session, HostDevice& device, Renderer* renderer) {
    CHECK(redirectImport(session.module.library, "malloc", reinterpret_cast<void*>(&failingMalloc),
                         &realModuleMalloc));
    struct Row {
        const char* name;
        const char* failure;  // what the host receives, up to its end where memory ran out
        void (*operation)(Renderer*);
    };
    const Row rows[] = {
        {"createTexture(file)", "class std::exception: ",
         [](Renderer* r) { r->createTexture("missing.bmp", ""); }},
        {"postD3DReset with the device throwing", "class my_error 2607: host device: not today",
         [](Renderer* r) {
             bool changed;
             r->postD3DReset(&changed);
         }},
    };
    device.throwFrom(0, Throw::MyError, kDeviceText);
    for (const Row& row : rows) {
        int outOfMemory = 0, failed = 0;
        for (int allocation = 1; allocation <= 200; ++allocation) {
            failingAllocation = allocation;
            const Received got = receive([&] { row.operation(renderer); });
            failingAllocation = 0;
            if (strcmp(got.text, "class std::bad_alloc: bad allocation") == 0)
                ++outOfMemory;
            else if (strncmp(got.text, row.failure, strlen(row.failure)) == 0)
                ++failed;
            else
                checkText(got.text, row.failure, __LINE__, row.name);
        }
        printf("%s, each of its first 200 allocations failing in turn: std::bad_alloc %d "
               "times, its own kind %d times\n", row.name, outOfMemory, failed);
    }
    device.throwFrom(-1, Throw::None, "");
    void* ours = nullptr;
    redirectImport(session.module.library, "malloc", realModuleMalloc, &ours);
}

int runKinds(Session& session) {
    HostDevice device(session.directDraw);
    Renderer* renderer = session.module.createRenderer(&device, 0, false, LOGGER_DIRECTORY, 5, 6);
    MsvcLoggerJournal* journal = loggerJournal();
    CHECK(renderer != nullptr && journal != nullptr);
    if (renderer == nullptr || journal == nullptr) return 1;
    renderer->setTargetSurface(session.target);
    KindsFixture fixture{renderer, renderer->createTexture(), renderer->createTexture(), BmpFile()};
    CHECK(writeFile(kKindsFile, fixture.bmp.bytes, sizeof fixture.bmp.bytes));
    fixture.kept->inMemory = true;
    fixture.kept->loadFromMemory(kPixel, 1, 1, TEXFMT_RGBA);
    checkEveryKind(session, device, journal, fixture);
    checkNested(device, renderer);
    checkCallsBack(device, renderer, fixture.empty);
    checkOutOfMemory(session, device, renderer);
    checkReleaseAll(device, renderer);  // last: it releases the fixture's textures
    renderer->setTargetSurface(nullptr);
    session.module.destroyRenderer(renderer);
    checkSurfaces(session.directDraw, 1, "destroyRenderer");
    remove(kKindsFile);
    return 0;
}

// ---- Two renderers on two threads, failing at once ----

constexpr int kThreadRounds = 2000;

struct Worker {
    Renderer* renderer;
    HostDevice* device;
    int asExpected = 0;
};

DWORD __stdcall failRepeatedly(void* context) {
    Worker& worker = *static_cast<Worker*>(context);
    const std::string missing =
        "class std::exception: CDD7Render::createTexture failed from file : missing.bmp"
        "(CDD7Texture::loadFromFile -- load file error.)";
    const std::string mine = "class my_error 2607: host device: not today";
    worker.device->throwFrom(2, Throw::MyError, kDeviceText);
    for (int round = 0; round < kThreadRounds; ++round) {
        const Received converted = receive([&] { worker.renderer->createTexture("missing.bmp", ""); });
        const Received passed = receive([&] {
            bool changed;
            worker.renderer->preD3DReset();
            worker.renderer->postD3DReset(&changed);
        });
        if (missing == converted.text && mine == passed.text) ++worker.asExpected;
    }
    worker.device->throwFrom(-1, Throw::None, "");
    bool changed;
    worker.renderer->postD3DReset(&changed);
    return 0;
}

int runThreads(Session& session) {
    HostDevice devices[2] = {HostDevice(session.directDraw), HostDevice(session.directDraw)};
    Worker workers[2];
    HANDLE threads[2];
    for (int i = 0; i < 2; ++i) {
        workers[i].device = &devices[i];
        workers[i].renderer = session.module.createRenderer(&devices[i], 0, false, "", 5, 6);
        CHECK(workers[i].renderer != nullptr);
        if (workers[i].renderer == nullptr) return 1;
    }
    for (int i = 0; i < 2; ++i)
        threads[i] = CreateThread(nullptr, 0, failRepeatedly, &workers[i], 0, nullptr);
    for (int i = 0; i < 2; ++i) {
        CHECK(threads[i] != nullptr && WaitForSingleObject(threads[i], INFINITE) == 0);
        CloseHandle(threads[i]);
        printf("thread %d: %d of %d rounds received both failures as expected\n", i,
               workers[i].asExpected, kThreadRounds);
        CHECK_EQ(workers[i].asExpected, kThreadRounds);
        session.module.destroyRenderer(workers[i].renderer);
    }
    checkSurfaces(session.directDraw, 1, "both renderers destroyed");
    return 0;
}

// ---- RtlUnwind as Windows has it ----

// Windows' RtlUnwind returns with EBX, ESI, EDI and EBP not as its caller left them; Wine's
// keeps them. The module's import of it is pointed here, so every scenario runs as on Windows.
extern "C" {
void* realRtlUnwind;
void __stdcall clobberingRtlUnwind(void*, void*, void*, void*);
}
asm(".globl _clobberingRtlUnwind@16\n"
    "_clobberingRtlUnwind@16:\n"
    "    pushl 16(%esp)\n"
    "    pushl 16(%esp)\n"
    "    pushl 16(%esp)\n"
    "    pushl 16(%esp)\n"
    "    call *_realRtlUnwind\n"
    "    movl $0xBAD0E8B, %ebx\n"
    "    movl $0xBAD0E51, %esi\n"
    "    movl $0xBAD0ED1, %edi\n"
    "    movl $0xBAD0EB9, %ebp\n"
    "    ret $16\n");

// Finds the module's import address slot of a function by walking its import table.
void** importSlot(HMODULE module, const char* function) {
    auto* base = static_cast<unsigned char*>(module);
    auto at = [base](DWORD offset) { return base + offset; };
    const DWORD ntHeaders = *reinterpret_cast<const DWORD*>(at(0x3C));
    const DWORD imports = *reinterpret_cast<const DWORD*>(at(ntHeaders + 0x80));
    for (auto* entry = reinterpret_cast<const DWORD*>(at(imports)); entry[4] != 0; entry += 5) {
        const auto* names = reinterpret_cast<const DWORD*>(at(entry[0] != 0 ? entry[0] : entry[4]));
        auto** slots = reinterpret_cast<void**>(at(entry[4]));
        for (int i = 0; names[i] != 0; ++i)
            if ((names[i] & 0x80000000u) == 0 &&
                strcmp(reinterpret_cast<const char*>(at(names[i] + 2)), function) == 0)
                return &slots[i];
    }
    return nullptr;
}

// Points the module's import of `function` at `replacement`; the original goes to *original.
bool redirectImport(HMODULE module, const char* function, void* replacement, void** original) {
    void** slot = importSlot(module, function);
    DWORD protection = 0;
    if (slot == nullptr || !VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection))
        return false;
    *original = *slot;
    *slot = replacement;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    return true;
}

bool clobberRegistersAfterRtlUnwind(HMODULE module) {
    return redirectImport(module, "RtlUnwind", reinterpret_cast<void*>(&clobberingRtlUnwind),
                          &realRtlUnwind);
}

int run(int argc, char** argv) {
    const char* scenario = argc >= 2 ? argv[1] : "";
    const char* modulePath = argc >= 3 ? argv[2] : "msvc/dd7r.dll";
    int (*scenarioRun)(Session&) = nullptr;
    if (strcmp(scenario, "session") == 0) scenarioRun = runSession;
    if (strcmp(scenario, "logger-runtime-error") == 0) scenarioRun = runLoggerRuntimeError;
    if (strcmp(scenario, "logger-int") == 0) scenarioRun = runLoggerInt;
    if (strcmp(scenario, "leak") == 0) scenarioRun = runLeak;
    if (strcmp(scenario, "kinds") == 0) scenarioRun = runKinds;
    if (strcmp(scenario, "threads") == 0) scenarioRun = runThreads;
    if (scenarioRun == nullptr) {
        printf("usage: msvc_abi_host SCENARIO [MODULE] (in the build's bin/); scenarios: "
               "session logger-runtime-error logger-int leak kinds threads\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IONBF, 0);  // every line out before a crash could lose it
    setLoggerThrows(nullptr);
    Session session;
    if (!loadModule(modulePath, session.module)) {
        printf("FAILED: cannot load %s and its three exports\n", modulePath);
        return 1;
    }
    if (!clobberRegistersAfterRtlUnwind(session.module.library)) {
        printf("FAILED: no import of RtlUnwind in %s to point elsewhere\n", modulePath);
        return 1;
    }
    session.directDraw = openDirectDraw();
    if (session.directDraw == nullptr) {
        printf("FAILED: no DirectDraw 7 with a 32-bit display\n");
        return 1;
    }
    session.target = createTarget(session.directDraw, 64, 48);
    if (session.target == nullptr) {
        printf("FAILED: no target surface\n");
        return 1;
    }
    checkSurfaces(session.directDraw, 1, "creating the target");
    scenarioRun(session);
    hostdd::release(session.target);
    hostdd::release(session.directDraw);
    if (failures != 0) {
        printf("%d checks FAILED\n", failures);
        return 1;
    }
    printf("PASSED\n");
    return 0;
}

}  // namespace

extern "C" int __getmainargs(int* argc, char*** argv, char*** environment, int expandWildcards,
                             int* startInfo);

// The program's entry: msvcrt.dll initialises itself; the arguments come from it.
extern "C" int mainCRTStartup() {
    int argc = 0;
    char** argv = nullptr;
    char** environment = nullptr;
    int startInfo = 0;
    __getmainargs(&argc, &argv, &environment, 0, &startInfo);
    const int status = run(argc, argv);
    fflush(stdout);
    exit(status);
}
