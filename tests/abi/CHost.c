/* A host written in C from the slot tables alone (SlotTables.h): it loads the module, hands it
   a renderer device that is a plain C table, and calls the renderer's and the textures' slots
   by their numbers. Run with "c-logger" it binds the C logging library (CLogger.c) and checks
   every call the module makes into it; run with "shipped-logger" it binds the shipped
   dll_logger.dll for the same session, and the "c-logger" run then checks that the C library
   received every line the shipped one wrote. The working directory is the build's bin/.
   The same source is also built in Microsoft's compiler's ABI (clang), where every slot is
   __fastcall with the unused EDX parameter (DD7R_EDX, DD7R_EDX_ARG), against msvc/dd7r.dll. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "HostServices.h"
#include "LoggerJournal.h"
#include "interface/SlotTables.h"

#ifndef C_LOGGER_DIRECTORY /* the Microsoft-ABI build binds its own build of CLogger.c */
#define C_LOGGER_DIRECTORY "abi-logger/"
#endif
#define SHIPPED_LOGGER_DIRECTORY "abi-shipped-logger/"
#define SHIPPED_LOG_FILE SHIPPED_LOGGER_DIRECTORY "dd7r.log"

static int failures;

static void check(int ok, int line, const char* what) {
    if (ok) return;
    ++failures;
    printf("FAILED (CHost.c:%d): %s\n", line, what);
}
#define CHECK(condition) check((condition) != 0, __LINE__, #condition)

static void checkEqual(unsigned long got, unsigned long expected, int line, const char* what) {
    if (got == expected) return;
    ++failures;
    printf("FAILED (CHost.c:%d): %s is %lu (0x%lx), expected %lu (0x%lx)\n", line, what, got, got,
           expected, expected);
}
#define CHECK_EQ(got, expected) checkEqual((unsigned long)(got), (unsigned long)(expected), __LINE__, #got)

static void checkFloat(float got, float expected, int line, const char* what) {
    if (got == expected) return;
    ++failures;
    printf("FAILED (CHost.c:%d): %s is %f, expected %f\n", line, what, got, expected);
}
#define CHECK_FLOAT(got, expected) checkFloat((got), (expected), __LINE__, #got)

static void checkText(const char* got, const char* expected, int line, const char* what) {
    if (got != NULL && strcmp(got, expected) == 0) return;
    ++failures;
    printf("FAILED (CHost.c:%d): %s is \"%s\", expected \"%s\"\n", line, what,
           got ? got : "(null)", expected);
}
#define CHECK_TEXT(got, expected) checkText((got), (expected), __LINE__, #got)

static _Noreturn void trap(const char* table, int slot) {
    printf("FAILED: the module called %s slot %d\n", table, slot);
    fflush(stdout);
    _Exit(71);
}

/* ---- The renderer device, a C table; slot 1 and the entries after slot 5 are traps ---- */

typedef struct HostDevice {
    Dd7rRendererDevice base;
    void* directDraw;
    float width;
    float height;
    int blendMode;
    int callsPerSlot[6];
    int foreignObjectCalls;
} HostDevice;

static void* DD7R_SLOT_CALL queryDirectDraw(Dd7rRendererDevice* self DD7R_EDX);
static void DD7R_SLOT_CALL reservedDeviceSlot(Dd7rRendererDevice* self DD7R_EDX);
static void DD7R_SLOT_CALL queryDisplaySize(Dd7rRendererDevice* self DD7R_EDX, float* width, float* height);
static int DD7R_SLOT_CALL queryBlendMode(Dd7rRendererDevice* self DD7R_EDX);
static int DD7R_SLOT_CALL querySurfaceMemory(Dd7rRendererDevice* self DD7R_EDX);
static int DD7R_SLOT_CALL queryTexturePixelFormat(Dd7rRendererDevice* self DD7R_EDX);
static void deviceTrap6(void) { trap("device", 6); }
static void deviceTrap7(void) { trap("device", 7); }
static void deviceTrap8(void) { trap("device", 8); }
static void deviceTrap9(void) { trap("device", 9); }

struct DeviceTableWithTraps {
    Dd7rRendererDeviceTable slots;
    void (*traps[4])(void);
};
static const struct DeviceTableWithTraps deviceTable = {
    {queryDirectDraw, reservedDeviceSlot, queryDisplaySize, queryBlendMode, querySurfaceMemory,
     queryTexturePixelFormat},
    {deviceTrap6, deviceTrap7, deviceTrap8, deviceTrap9},
};
_Static_assert(offsetof(struct DeviceTableWithTraps, traps) == 6 * sizeof(void (*)(void)),
               "the trap entries follow slot 5");

/* The device behind `self`, counting the call; `self` must be the object the host passed. */
static HostDevice* deviceCalled(Dd7rRendererDevice* self, int slot) {
    HostDevice* device = (HostDevice*)self;
    if (self == NULL || self->table != &deviceTable.slots) {
        printf("FAILED: device slot %d reached with a foreign object %p\n", slot, (void*)self);
        fflush(stdout);
        _Exit(72);
    }
    ++device->callsPerSlot[slot];
    return device;
}

static void* DD7R_SLOT_CALL queryDirectDraw(Dd7rRendererDevice* self DD7R_EDX) {
    return deviceCalled(self, 0)->directDraw;
}
static void DD7R_SLOT_CALL reservedDeviceSlot(Dd7rRendererDevice* self DD7R_EDX) {
    (void)self;
    trap("device", 1);
}
static void DD7R_SLOT_CALL queryDisplaySize(Dd7rRendererDevice* self DD7R_EDX, float* width, float* height) {
    HostDevice* device = deviceCalled(self, 2);
    *width = device->width;
    *height = device->height;
}
static int DD7R_SLOT_CALL queryBlendMode(Dd7rRendererDevice* self DD7R_EDX) {
    return deviceCalled(self, 3)->blendMode;
}
static int DD7R_SLOT_CALL querySurfaceMemory(Dd7rRendererDevice* self DD7R_EDX) {
    deviceCalled(self, 4);
    return 0; /* system memory */
}
static int DD7R_SLOT_CALL queryTexturePixelFormat(Dd7rRendererDevice* self DD7R_EDX) {
    deviceCalled(self, 5);
    return 0; /* the display's format */
}

static HostDevice makeDevice(void* directDraw) {
    HostDevice device;
    memset(&device, 0, sizeof device);
    device.base.table = &deviceTable.slots;
    device.directDraw = directDraw;
    device.width = 64.0f;
    device.height = 48.0f;
    device.blendMode = 0; /* quads are copied and composed off screen */
    return device;
}

/* ---- The module ---- */

typedef struct Module {
    Dd7rCreateRendererFn createRenderer;
    Dd7rDestroyRendererFn destroyRenderer;
    Dd7rGetLastErrorStringFn getLastErrorString;
} Module;

static int loadModule(Module* module) {
    void* library = hostLoadLibrary(DD7R_MODULE_FILE);
    if (library == NULL) return 0;
    module->createRenderer = (Dd7rCreateRendererFn)hostFindExport(library, "createRenderer");
    module->destroyRenderer = (Dd7rDestroyRendererFn)hostFindExport(library, "destroyRenderer");
    module->getLastErrorString =
        (Dd7rGetLastErrorStringFn)hostFindExport(library, "getLastErrorString");
    return module->createRenderer && module->destroyRenderer && module->getLastErrorString;
}

/* ---- The session: the same in both runs ---- */

static const char* const kNullDevice = "CDD7Render::CDD7Render() --> Renderer device is NULL.";
static const char* const kNoDirectDraw =
    "CDD7Render::CDD7Render() --> Renderer device can't get aviliable IDirectDraw7 object.";

static void checkFailedCreation(const Module* module, Dd7rRendererDevice* device,
                                const char* loggerDirectory, const char* reason) {
    char expected[256];
    CHECK(module->createRenderer(device, 0, false, loggerDirectory, 5, 6) == NULL);
    snprintf(expected, sizeof expected, "dd7r --> createRenderer() error : %s", reason);
    CHECK_TEXT(module->getLastErrorString(), expected);
}

static void checkDisplay(const Dd7rRenderer* renderer, float width, float height) {
    float w = 0, h = 0, left = -1, top = -1, right = 0, bottom = 0;
    CHECK_FLOAT(renderer->table->getDisplayWidth(renderer DD7R_EDX_ARG), width);
    CHECK_FLOAT(renderer->table->getDisplayHeight(renderer DD7R_EDX_ARG), height);
    renderer->table->getDisplaySize(renderer DD7R_EDX_ARG, &w, &h);
    CHECK_FLOAT(w, width);
    CHECK_FLOAT(h, height);
    renderer->table->getDisplayRect(renderer DD7R_EDX_ARG, &left, &top, &right, &bottom);
    CHECK_FLOAT(left, 0.0f);
    CHECK_FLOAT(top, 0.0f);
    CHECK_FLOAT(right, width);
    CHECK_FLOAT(bottom, height);
}

static void checkTextureSize(const Dd7rTexture* texture, uint32_t width, uint32_t height) {
    CHECK_EQ(texture->table->getWidth(texture DD7R_EDX_ARG), width);
    CHECK_EQ(texture->table->getImageWidth(texture DD7R_EDX_ARG), width);
    CHECK_FLOAT(texture->table->getHorzScale(texture DD7R_EDX_ARG), 1.0f / (float)width);
    CHECK_EQ(texture->table->getHeight(texture DD7R_EDX_ARG), height);
    CHECK_EQ(texture->table->getImageHeight(texture DD7R_EDX_ARG), height);
    CHECK_FLOAT(texture->table->getVertScale(texture DD7R_EDX_ARG), 1.0f / (float)height);
}

static void checkQueueingAndHooks(Dd7rRenderer* renderer) {
    int round;
    CHECK(renderer->table->isQueueing(renderer DD7R_EDX_ARG));
    renderer->table->setQueueing(renderer DD7R_EDX_ARG, false);
    CHECK(!renderer->table->isQueueing(renderer DD7R_EDX_ARG));
    renderer->table->setQueueing(renderer DD7R_EDX_ARG, true);
    CHECK(renderer->table->isQueueing(renderer DD7R_EDX_ARG));
    CHECK_EQ(renderer->table->getTextureSizeLimit(renderer DD7R_EDX_ARG), 48);
    CHECK_EQ(renderer->table->getHorzDpi(renderer DD7R_EDX_ARG), 96);
    CHECK_EQ(renderer->table->getVertDpi(renderer DD7R_EDX_ARG), 96);
    /* Slots that take stack arguments and do nothing: a caller and a callee that disagree on
       who pops the arguments would not survive many rounds of these. */
    for (round = 0; round < 1000; ++round) {
        renderer->table->reservedHookA(renderer DD7R_EDX_ARG, 1, 2);
        renderer->table->reservedHookB(renderer DD7R_EDX_ARG, 1, 2, 3);
        renderer->table->reservedHookC(renderer DD7R_EDX_ARG);
        renderer->table->reservedHookD(renderer DD7R_EDX_ARG);
    }
}

/* A 2 x 2 texture from raw pixels: red, green / blue, grey, then the grey texel replaced by
   yellow through fillFromMemory. No texel is black, the transparent value. */
static Dd7rTexture* makePixelTexture(Dd7rRenderer* renderer) {
    static const uint8_t pixels[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 128, 128, 128};
    static const uint8_t yellow[3] = {255, 255, 0};
    Dd7rTexture* texture = renderer->table->createTexture(renderer DD7R_EDX_ARG);
    if (texture == NULL) return NULL;
    texture->table->loadFromMemory(texture DD7R_EDX_ARG, pixels, 2, 2, DD7R_TEXFMT_RGB);
    texture->table->fillFromMemory(texture DD7R_EDX_ARG, yellow, 1, 1, 1, 1, 3, DD7R_TEXFMT_RGB);
    return texture;
}

/* The texture stretched 4 times onto the target at (8, 8): four blocks of 4 x 4 pixels. */
static void drawAndCheckPixels(Dd7rRenderer* renderer, Dd7rTexture* texture, void* target) {
    const Dd7rFloatRect destination = {8.0f, 8.0f, 16.0f, 16.0f};
    const Dd7rFloatRect source = {0.0f, 0.0f, 2.0f, 2.0f};
    const Dd7rCornerColours white = {{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}};
    CHECK(hostFillSurface(target, 0x00102030u));
    renderer->table->setTargetSurface(renderer DD7R_EDX_ARG, target);
    renderer->table->submitQuad(renderer DD7R_EDX_ARG, destination, 1.0f, texture, source, white, 0);
    renderer->table->renderQueue(renderer DD7R_EDX_ARG);
    CHECK_EQ(hostReadPixel(target, 8, 8), 0xFF0000u);
    CHECK_EQ(hostReadPixel(target, 11, 11), 0xFF0000u);
    CHECK_EQ(hostReadPixel(target, 12, 8), 0x00FF00u);
    CHECK_EQ(hostReadPixel(target, 15, 11), 0x00FF00u);
    CHECK_EQ(hostReadPixel(target, 8, 12), 0x0000FFu);
    CHECK_EQ(hostReadPixel(target, 11, 15), 0x0000FFu);
    CHECK_EQ(hostReadPixel(target, 12, 12), 0xFFFF00u);
    CHECK_EQ(hostReadPixel(target, 15, 15), 0xFFFF00u);
    CHECK_EQ(hostReadPixel(target, 7, 8), 0x102030u);
    CHECK_EQ(hostReadPixel(target, 16, 15), 0x102030u);
    CHECK_EQ(hostReadPixel(target, 12, 7), 0x102030u);
    CHECK_EQ(hostReadPixel(target, 12, 16), 0x102030u);
}

static void putLittleEndian(uint8_t* at, uint32_t value, int bytes) {
    int i;
    for (i = 0; i < bytes; ++i) at[i] = (uint8_t)(value >> (8 * i));
}

/* A 2 x 2, 24-bit BMP file in memory (rows bottom-up, each padded to 8 bytes). */
static size_t makeBmpFile(uint8_t file[70]) {
    static const uint8_t rows[16] = {255, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 255, 255, 255, 0, 0};
    memset(file, 0, 70);
    file[0] = 'B';
    file[1] = 'M';
    putLittleEndian(file + 2, 70, 4);
    putLittleEndian(file + 10, 54, 4);
    putLittleEndian(file + 14, 40, 4);
    putLittleEndian(file + 18, 2, 4);
    putLittleEndian(file + 22, 2, 4);
    putLittleEndian(file + 26, 1, 2);
    putLittleEndian(file + 28, 24, 2);
    putLittleEndian(file + 34, 16, 4);
    memcpy(file + 54, rows, sizeof rows);
    return 70;
}

/* A texture made from image-file bytes keeps them: the texture's own reset slots (11, 12)
   release its surface and rebuild it. */
static Dd7rTexture* checkImageTextureResets(Dd7rRenderer* renderer, void* directDraw) {
    uint8_t file[70];
    const size_t size = makeBmpFile(file);
    long live;
    Dd7rTexture* texture = renderer->table->createTextureFromFileData(renderer DD7R_EDX_ARG, file, (uint32_t)size);
    CHECK(texture != NULL);
    if (texture == NULL) return NULL;
    checkTextureSize(texture, 2, 2);
    live = hostLiveSurfaceCount(directDraw);
    texture->table->preD3DReset(texture DD7R_EDX_ARG);
    CHECK_EQ(hostLiveSurfaceCount(directDraw), live - 1);
    texture->table->postD3DReset(texture DD7R_EDX_ARG);
    CHECK_EQ(hostLiveSurfaceCount(directDraw), live);
    checkTextureSize(texture, 2, 2);
    return texture;
}

/* The other ways to make a texture, then releaseAllTextures: the renderer keeps its own two
   display-sized textures (made again), nothing else. */
static void checkOtherTextureSlots(Dd7rRenderer* renderer, void* directDraw, long baseline) {
    static const char* const kFileName = "abi-texture.bmp";
    uint8_t bytes[70];
    const size_t size = makeBmpFile(bytes);
    const long live = hostLiveSurfaceCount(directDraw);
    FILE* file = fopen(kFileName, "wb");
    Dd7rTexture* sized = renderer->table->createSizedTexture(renderer DD7R_EDX_ARG, 16.0f);
    Dd7rTexture* fromFile;
    CHECK(sized != NULL);
    if (sized != NULL) CHECK_EQ(sized->table->getWidth(sized DD7R_EDX_ARG), 0); /* no picture yet */
    CHECK_EQ(hostLiveSurfaceCount(directDraw), live);
    CHECK(file != NULL && fwrite(bytes, 1, size, file) == size);
    if (file != NULL) fclose(file);
    fromFile = renderer->table->createTextureFromFile(renderer DD7R_EDX_ARG, kFileName, ".");
    CHECK(fromFile != NULL);
    if (fromFile != NULL) checkTextureSize(fromFile, 2, 2);
    CHECK_EQ(hostLiveSurfaceCount(directDraw), live + 1);
    renderer->table->releaseAllTextures(renderer DD7R_EDX_ARG);
    CHECK_EQ(hostLiveSurfaceCount(directDraw), baseline + 2);
    remove(kFileName);
}

/* The renderer's reset slots, with a display that grew meanwhile. */
static void checkRendererReset(Dd7rRenderer* renderer, HostDevice* device) {
    bool sizeChanged = false;
    renderer->table->preD3DReset(renderer DD7R_EDX_ARG);
    device->width = 80.0f;
    device->height = 60.0f;
    renderer->table->postD3DReset(renderer DD7R_EDX_ARG, &sizeChanged);
    CHECK(sizeChanged);
    checkDisplay(renderer, 80.0f, 60.0f);
}

/* Storage of a renderer destroyed with DD7R_DESTROY_ONLY: the caller keeps that memory. It
   came from the module's allocator, which no export reaches, so it stays for the process. */
static void* retainedRendererStorage;

static void runSession(const Module* module, const char* loggerDirectory, void* directDraw) {
    HostDevice device = makeDevice(directDraw);
    HostDevice noDirectDraw = makeDevice(NULL);
    void* target = hostCreateSurface(directDraw, 64, 48);
    const long baseline = hostLiveSurfaceCount(directDraw);
    Dd7rRenderer* renderer;
    Dd7rTexture* pixelTexture;
    Dd7rTexture* imageTexture;
    uintptr_t address;
    int slot;

    CHECK(target != NULL);
    CHECK(baseline >= 1);
    checkFailedCreation(module, NULL, loggerDirectory, kNullDevice);
    checkFailedCreation(module, &noDirectDraw.base, loggerDirectory, kNoDirectDraw);

    renderer = module->createRenderer(&device.base, 0, true, loggerDirectory, 5, 6);
    CHECK(renderer != NULL);
    if (renderer == NULL || target == NULL) {
        printf("createRenderer: %s\n", module->getLastErrorString());
        return;
    }
    CHECK_EQ(hostLiveSurfaceCount(directDraw), baseline + 2); /* scratch and composition */
    checkDisplay(renderer, 64.0f, 48.0f);
    checkQueueingAndHooks(renderer);

    pixelTexture = makePixelTexture(renderer);
    CHECK(pixelTexture != NULL);
    if (pixelTexture == NULL) return;
    checkTextureSize(pixelTexture, 2, 2);
    CHECK_EQ(hostLiveSurfaceCount(directDraw), baseline + 3);
    drawAndCheckPixels(renderer, pixelTexture, target);
    renderer->table->discardQueue(renderer DD7R_EDX_ARG);

    imageTexture = checkImageTextureResets(renderer, directDraw);
    CHECK_EQ(hostLiveSurfaceCount(directDraw), baseline + 4);
    checkRendererReset(renderer, &device);
    CHECK_EQ(hostLiveSurfaceCount(directDraw), baseline + 4);
    renderer->table->releaseTexture(renderer DD7R_EDX_ARG, pixelTexture);
    CHECK_EQ(hostLiveSurfaceCount(directDraw), baseline + 3);
    (void)imageTexture; /* released with every other texture below */
    checkOtherTextureSlots(renderer, directDraw, baseline);

    /* Slot 25 with the flag set destroys the renderer, everything it made, and its memory. */
    address = (uintptr_t)renderer;
    CHECK((uintptr_t)renderer->table->destroy(renderer DD7R_EDX_ARG, DD7R_DESTROY_AND_FREE) == address);
    CHECK_EQ(hostLiveSurfaceCount(directDraw), baseline);
    module->destroyRenderer(NULL); /* the shared logger goes with the last renderer */

    /* Slot 25 without the flag destroys the renderer and leaves its memory to the caller:
       still readable afterwards (under AddressSanitizer a freed block would not be). */
    renderer = module->createRenderer(&device.base, 0, false, loggerDirectory, 5, 6);
    CHECK(renderer != NULL);
    if (renderer != NULL) {
        const volatile unsigned char* storage = (const volatile unsigned char*)renderer;
        CHECK_EQ(hostLiveSurfaceCount(directDraw), baseline + 2);
        CHECK(renderer->table->destroy(renderer DD7R_EDX_ARG, DD7R_DESTROY_ONLY) == (void*)renderer);
        CHECK_EQ(hostLiveSurfaceCount(directDraw), baseline);
        (void)storage[0];
        retainedRendererStorage = renderer;
    }
    module->destroyRenderer(NULL);

    for (slot = 0; slot < 6; ++slot)
        printf("device slot %d: %d calls\n", slot, device.callsPerSlot[slot]);
    CHECK_EQ(device.callsPerSlot[1], 0);
    CHECK(device.callsPerSlot[0] >= 2); /* construction and postD3DReset */
    CHECK(device.callsPerSlot[2] >= 2);
    CHECK(device.callsPerSlot[3] >= 1);
    CHECK(device.callsPerSlot[4] >= 1);
    CHECK(device.callsPerSlot[5] >= 1);
    hostReleaseSurface(target);
}

/* ---- What the loggers received ---- */

static const char* const kExpectedLoggerCalls[] = {
    "GetLogLevelFromIniFile dd7r KelLogger.ini",
    "CreateOrvLogger 5 6 dd7r 4",
    "slot 1 reportFatal flag 1: CDD7Render::CDD7Render() --> Renderer device is NULL.",
    "GetLogLevelFromIniFile dd7r KelLogger.ini",
    ("slot 1 reportFatal flag 1: CDD7Render::CDD7Render() --> Renderer device can't get "
     "aviliable IDirectDraw7 object."),
    "GetLogLevelFromIniFile dd7r KelLogger.ini",
    "slot 3 log level 4: CDD7Render::setDisplaySize (width 80.000000, height 60.000000)",
    "slot 3 log level 4: CDD7Render::postD3DReset (width 80.000000, height 60.000000)",
    "slot 0 destroy flags 1",
    "GetLogLevelFromIniFile dd7r KelLogger.ini",
    "CreateOrvLogger 5 6 dd7r 4",
    "slot 0 destroy flags 1",
};

static void checkLoggerCalls(const LoggerJournal* journal) {
    const int expectedCount = (int)(sizeof kExpectedLoggerCalls / sizeof kExpectedLoggerCalls[0]);
    int i;
    for (i = 0; i < journal->callCount; ++i) printf("logger: %s\n", journal->calls[i]);
    CHECK_EQ(journal->callCount, expectedCount);
    for (i = 0; i < journal->callCount && i < expectedCount; ++i)
        CHECK_TEXT(journal->calls[i], kExpectedLoggerCalls[i]);
    CHECK_EQ(journal->loggersAlive, 0);
    CHECK_EQ(journal->foreignObjectCalls, 0);
}

/* The shipped library's lines ("<date> <time> [dd7r] <kind> <message>"), without their time
   and tag and without the START line each logger begins with. */
static int readShippedLines(char lines[][JOURNAL_MAX_TEXT], int capacity) {
    char line[JOURNAL_MAX_TEXT + 64];
    int count = 0;
    FILE* file = fopen(SHIPPED_LOG_FILE, "rb");
    if (file == NULL) return -1;
    while (fgets(line, sizeof line, file) != NULL) {
        const char* kind = strstr(line, "] ");
        size_t length;
        if (kind == NULL) continue;
        kind += 2;
        length = strcspn(kind, "\r\n");
        if (strncmp(kind, "START ", 6) == 0 || count == capacity) continue;
        snprintf(lines[count++], JOURNAL_MAX_TEXT, "%.*s", (int)length, kind);
    }
    fclose(file);
    return count;
}

static void checkSameLinesAsShippedLogger(const LoggerJournal* journal) {
    static char shipped[JOURNAL_MAX_ENTRIES][JOURNAL_MAX_TEXT];
    const int count = readShippedLines(shipped, JOURNAL_MAX_ENTRIES);
    int i;
    CHECK(count >= 0);
    if (count < 0) {
        printf("no %s: the shipped-logger run comes first\n", SHIPPED_LOG_FILE);
        return;
    }
    printf("the shipped logger wrote %d lines, the C logger %d\n", count, journal->lineCount);
    CHECK_EQ(journal->lineCount, count);
    for (i = 0; i < count && i < journal->lineCount; ++i) CHECK_TEXT(journal->lines[i], shipped[i]);
}

int main(int argc, char** argv) {
    Module module;
    void* directDraw;
    const int withCLogger = argc == 2 && strcmp(argv[1], "c-logger") == 0;
    const int withShippedLogger = argc == 2 && strcmp(argv[1], "shipped-logger") == 0;

    if (!withCLogger && !withShippedLogger) {
        printf("usage: abi_c_host c-logger|shipped-logger (in the build's bin/ folder)\n");
        return 2;
    }
    if (!loadModule(&module)) {
        printf("FAILED: cannot load %s and its three exports\n", DD7R_MODULE_FILE);
        return 1;
    }
    directDraw = hostCreateDirectDraw();
    if (directDraw == NULL) {
        printf("FAILED: no DirectDraw\n");
        return 1;
    }
    if (withShippedLogger) remove(SHIPPED_LOG_FILE);

    runSession(&module, withCLogger ? C_LOGGER_DIRECTORY : SHIPPED_LOGGER_DIRECTORY, directDraw);

    if (withCLogger) {
        void* library = hostLoadLibrary(C_LOGGER_DIRECTORY "dll_logger.dll");
        LoggerJournalFn journal =
            library ? (LoggerJournalFn)hostFindExport(library, "loggerJournal") : NULL;
        CHECK(journal != NULL);
        if (journal != NULL) {
            checkLoggerCalls(journal());
            checkSameLinesAsShippedLogger(journal());
        }
    }
    hostReleaseDirectDraw(directDraw);
    if (failures != 0) {
        printf("%d checks FAILED\n", failures);
        return 1;
    }
    printf("PASSED\n");
    return 0;
}
