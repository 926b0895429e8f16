/* The module's binary interface in plain C, without the C++ class declarations: each object
   starts with a pointer to its table, and each table is a list of function pointers, one per
   slot, in slot order. A host (or a logging library) built by any compiler that follows the
   Windows platform's C++ layout can use the module through tables like these.

   Calling conventions, 32-bit x86 (the Windows build):
     - every slot is thiscall: the object in ECX, the other arguments on the stack, popped by
       the callee. GCC and Clang declare it as is (DD7R_SLOT_CALL). Microsoft's compiler has no
       thiscall for plain functions: there a slot is __fastcall, whose first argument goes in
       ECX and second in EDX, with one unused parameter after the object (DD7R_EDX) that puts
       the object in ECX and every other argument on the stack, as thiscall does. A host calls
       a slot with DD7R_EDX_ARG after the object, and writes DD7R_EDX after the object in the
       slots it implements, so that one source builds with every compiler:
           renderer->table->renderQueue(renderer DD7R_EDX_ARG);
           static int DD7R_SLOT_CALL queryBlendMode(Dd7rRendererDevice* self DD7R_EDX) ...
     - the logger's log slot takes a variable argument list, so it is cdecl, the object first
       (no DD7R_EDX);
     - the exported functions are cdecl, with undecorated names (DD7R_EXPORT_CALL).
   Elsewhere (x86-64, and 32-bit x86 outside Windows, whose C++ passes the object on the stack)
   every slot is an ordinary function taking the object first, and DD7R_EDX and DD7R_EDX_ARG
   are empty.

   The object behind a table is otherwise opaque: its fields (the renderer's and the texture's
   base fields hold C++ standard library strings) are the module's business. The header
   defines no macro but its own DD7R_ ones. */
#ifndef DD7R_SLOT_TABLES_H
#define DD7R_SLOT_TABLES_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#if defined(_MSC_VER) && defined(_M_IX86)
#define DD7R_SLOT_CALL __fastcall
#define DD7R_EXPORT_CALL __cdecl
#if defined(__clang__)
#define DD7R_EDX , void* dd7rUnusedEdx __attribute__((unused))
#else
#define DD7R_EDX , void* dd7rUnusedEdx
#endif
#define DD7R_EDX_ARG , NULL
#elif defined(__i386__) && defined(_WIN32)
#define DD7R_SLOT_CALL __attribute__((thiscall))
#define DD7R_EXPORT_CALL __attribute__((cdecl))
#define DD7R_EDX
#define DD7R_EDX_ARG
#else
#define DD7R_SLOT_CALL
#define DD7R_EXPORT_CALL
#define DD7R_EDX
#define DD7R_EDX_ARG
#endif

/* Asserts that a table member sits at its slot number. */
#define DD7R_SLOT_AT(table, member, slot)                                      \
    _Static_assert(offsetof(table, member) == (slot) * sizeof(void (*)(void)), \
                   #table "." #member " is slot " #slot)

typedef struct Dd7rRenderer Dd7rRenderer;
typedef struct Dd7rTexture Dd7rTexture;
typedef struct Dd7rRendererDevice Dd7rRendererDevice;
typedef struct Dd7rLogger Dd7rLogger;

typedef struct Dd7rFloatRect {
    float left, top, right, bottom;
} Dd7rFloatRect;

typedef struct Dd7rCornerColours {
    uint32_t colour[4]; /* 0xAARRGGBB each */
} Dd7rCornerColours;

/* Bit 0 of a destroy slot's flag: free the memory after destroying. */
enum { DD7R_DESTROY_ONLY = 0, DD7R_DESTROY_AND_FREE = 1 };

/* Byte orders of raw pixels. */
enum { DD7R_TEXFMT_RGB = 0, DD7R_TEXFMT_RGBA = 1, DD7R_TEXFMT_BGRA = 2 };

/* ---- Renderer: 26 slots, made by the module ---- */
typedef struct Dd7rRendererTable {
    void(DD7R_SLOT_CALL* submitQuad)(Dd7rRenderer* self DD7R_EDX, Dd7rFloatRect destination, float z,
                                Dd7rTexture* texture, Dd7rFloatRect source,
                                Dd7rCornerColours colours, int32_t reserved);
    void(DD7R_SLOT_CALL* renderQueue)(Dd7rRenderer* self DD7R_EDX);
    void(DD7R_SLOT_CALL* discardQueue)(Dd7rRenderer* self DD7R_EDX);
    void(DD7R_SLOT_CALL* setQueueing)(Dd7rRenderer* self DD7R_EDX, bool queueing);
    Dd7rTexture*(DD7R_SLOT_CALL* createSizedTexture)(Dd7rRenderer* self DD7R_EDX, float size);
    Dd7rTexture*(DD7R_SLOT_CALL* createTextureFromFileData)(Dd7rRenderer* self DD7R_EDX, const uint8_t* data,
                                                       uint32_t size);
    Dd7rTexture*(DD7R_SLOT_CALL* createTextureFromFile)(Dd7rRenderer* self DD7R_EDX, const char* fileName,
                                                   const char* directory);
    Dd7rTexture*(DD7R_SLOT_CALL* createTexture)(Dd7rRenderer* self DD7R_EDX);
    void(DD7R_SLOT_CALL* releaseTexture)(Dd7rRenderer* self DD7R_EDX, Dd7rTexture* texture);
    void(DD7R_SLOT_CALL* releaseAllTextures)(Dd7rRenderer* self DD7R_EDX);
    bool(DD7R_SLOT_CALL* isQueueing)(const Dd7rRenderer* self DD7R_EDX);
    float(DD7R_SLOT_CALL* getDisplayWidth)(const Dd7rRenderer* self DD7R_EDX);
    float(DD7R_SLOT_CALL* getDisplayHeight)(const Dd7rRenderer* self DD7R_EDX);
    void(DD7R_SLOT_CALL* getDisplaySize)(const Dd7rRenderer* self DD7R_EDX, float* width, float* height);
    void(DD7R_SLOT_CALL* getDisplayRect)(const Dd7rRenderer* self DD7R_EDX, float* left, float* top,
                                    float* right, float* bottom);
    uint32_t(DD7R_SLOT_CALL* getTextureSizeLimit)(const Dd7rRenderer* self DD7R_EDX);
    uint32_t(DD7R_SLOT_CALL* getHorzDpi)(const Dd7rRenderer* self DD7R_EDX);
    uint32_t(DD7R_SLOT_CALL* getVertDpi)(const Dd7rRenderer* self DD7R_EDX);
    void(DD7R_SLOT_CALL* preD3DReset)(Dd7rRenderer* self DD7R_EDX);
    void(DD7R_SLOT_CALL* postD3DReset)(Dd7rRenderer* self DD7R_EDX, bool* sizeChanged);
    void(DD7R_SLOT_CALL* reservedHookA)(Dd7rRenderer* self DD7R_EDX, uint32_t a, uint32_t b);
    void(DD7R_SLOT_CALL* reservedHookB)(Dd7rRenderer* self DD7R_EDX, uint32_t a, uint32_t b, uint32_t c);
    void(DD7R_SLOT_CALL* setTargetSurface)(Dd7rRenderer* self DD7R_EDX, void* directDrawSurface7);
    void(DD7R_SLOT_CALL* reservedHookC)(Dd7rRenderer* self DD7R_EDX);
    void(DD7R_SLOT_CALL* reservedHookD)(Dd7rRenderer* self DD7R_EDX);
    void*(DD7R_SLOT_CALL* destroy)(Dd7rRenderer* self DD7R_EDX, uint32_t flags);
} Dd7rRendererTable;
DD7R_SLOT_AT(Dd7rRendererTable, submitQuad, 0);
DD7R_SLOT_AT(Dd7rRendererTable, createSizedTexture, 4);
DD7R_SLOT_AT(Dd7rRendererTable, createTexture, 7);
DD7R_SLOT_AT(Dd7rRendererTable, isQueueing, 10);
DD7R_SLOT_AT(Dd7rRendererTable, preD3DReset, 18);
DD7R_SLOT_AT(Dd7rRendererTable, setTargetSurface, 22);
DD7R_SLOT_AT(Dd7rRendererTable, destroy, 25);

struct Dd7rRenderer {
    const Dd7rRendererTable* table;
};

/* ---- Texture: 11 slots; the module's textures add two ---- */
typedef struct Dd7rTextureTable {
    uint32_t(DD7R_SLOT_CALL* getWidth)(const Dd7rTexture* self DD7R_EDX);
    uint32_t(DD7R_SLOT_CALL* getImageWidth)(const Dd7rTexture* self DD7R_EDX);
    float(DD7R_SLOT_CALL* getHorzScale)(const Dd7rTexture* self DD7R_EDX);
    uint32_t(DD7R_SLOT_CALL* getHeight)(const Dd7rTexture* self DD7R_EDX);
    uint32_t(DD7R_SLOT_CALL* getImageHeight)(const Dd7rTexture* self DD7R_EDX);
    float(DD7R_SLOT_CALL* getVertScale)(const Dd7rTexture* self DD7R_EDX);
    void(DD7R_SLOT_CALL* loadFromFile)(Dd7rTexture* self DD7R_EDX, const char* fileName, const char* directory);
    void(DD7R_SLOT_CALL* loadFromFileData)(Dd7rTexture* self DD7R_EDX, const uint8_t* data, uint32_t size);
    void(DD7R_SLOT_CALL* loadFromMemory)(Dd7rTexture* self DD7R_EDX, const void* pixels, uint32_t width,
                                    uint32_t height, uint32_t format);
    void(DD7R_SLOT_CALL* fillFromMemory)(Dd7rTexture* self DD7R_EDX, const void* pixels, uint32_t x, uint32_t y,
                                    uint32_t width, uint32_t height, uint32_t pitch,
                                    uint32_t format);
    /* A texture belongs to its renderer, which destroys it here; a host gives it back with
       the renderer's releaseTexture and never calls this slot. */
    void*(DD7R_SLOT_CALL* destroy)(Dd7rTexture* self DD7R_EDX, uint32_t flags);
    /* The module's textures only; the renderer calls them around a device reset. */
    void(DD7R_SLOT_CALL* preD3DReset)(Dd7rTexture* self DD7R_EDX);
    void(DD7R_SLOT_CALL* postD3DReset)(Dd7rTexture* self DD7R_EDX);
} Dd7rTextureTable;
DD7R_SLOT_AT(Dd7rTextureTable, getWidth, 0);
DD7R_SLOT_AT(Dd7rTextureTable, getVertScale, 5);
DD7R_SLOT_AT(Dd7rTextureTable, fillFromMemory, 9);
DD7R_SLOT_AT(Dd7rTextureTable, destroy, 10);
DD7R_SLOT_AT(Dd7rTextureTable, preD3DReset, 11);
DD7R_SLOT_AT(Dd7rTextureTable, postD3DReset, 12);

struct Dd7rTexture {
    const Dd7rTextureTable* table;
};

/* ---- RendererDevice: 6 slots, made by the host; no destroy slot ---- */
typedef struct Dd7rRendererDeviceTable {
    void*(DD7R_SLOT_CALL* queryDirectDraw)(Dd7rRendererDevice* self DD7R_EDX); /* an IDirectDraw7 */
    void(DD7R_SLOT_CALL* reservedDeviceSlot)(Dd7rRendererDevice* self DD7R_EDX); /* never called */
    void(DD7R_SLOT_CALL* queryDisplaySize)(Dd7rRendererDevice* self DD7R_EDX, float* width, float* height);
    int(DD7R_SLOT_CALL* queryBlendMode)(Dd7rRendererDevice* self DD7R_EDX);
    int(DD7R_SLOT_CALL* querySurfaceMemory)(Dd7rRendererDevice* self DD7R_EDX);
    int(DD7R_SLOT_CALL* queryTexturePixelFormat)(Dd7rRendererDevice* self DD7R_EDX);
} Dd7rRendererDeviceTable;
DD7R_SLOT_AT(Dd7rRendererDeviceTable, queryDirectDraw, 0);
DD7R_SLOT_AT(Dd7rRendererDeviceTable, queryDisplaySize, 2);
DD7R_SLOT_AT(Dd7rRendererDeviceTable, queryTexturePixelFormat, 5);

struct Dd7rRendererDevice {
    const Dd7rRendererDeviceTable* table;
};

/* ---- Logger: 4 slots, made by the logging library ---- */
typedef struct Dd7rLoggerTable {
    void*(DD7R_SLOT_CALL* destroy)(Dd7rLogger* self DD7R_EDX, uint32_t flags);
    void(DD7R_SLOT_CALL* reportFatal)(Dd7rLogger* self DD7R_EDX, const char* message, int flag);
    void(DD7R_SLOT_CALL* reservedLoggerSlot)(Dd7rLogger* self DD7R_EDX); /* never called */
    void (*log)(Dd7rLogger* self, int level, const char* format, ...); /* cdecl */
} Dd7rLoggerTable;
DD7R_SLOT_AT(Dd7rLoggerTable, destroy, 0);
DD7R_SLOT_AT(Dd7rLoggerTable, reportFatal, 1);
DD7R_SLOT_AT(Dd7rLoggerTable, log, 3);

struct Dd7rLogger {
    const Dd7rLoggerTable* table;
};

/* ---- Exported functions (cdecl, undecorated names) ---- */
/* dd7r.dll */
typedef Dd7rRenderer*(DD7R_EXPORT_CALL* Dd7rCreateRendererFn)(Dd7rRendererDevice* device,
                                                         uint32_t reserved, bool hostFlag,
                                                         const char* loggerDirectory,
                                                         uint32_t loggerValueA,
                                                         uint32_t loggerValueB);
typedef void(DD7R_EXPORT_CALL* Dd7rDestroyRendererFn)(Dd7rRenderer* renderer);
typedef const char*(DD7R_EXPORT_CALL* Dd7rGetLastErrorStringFn)(void);
/* dll_logger.dll */
typedef Dd7rLogger*(DD7R_EXPORT_CALL* Dd7rCreateOrvLoggerFn)(uint32_t hostValueA, uint32_t hostValueB,
                                                       const char* moduleTag, int level);
typedef int(DD7R_EXPORT_CALL* Dd7rUnRecoveryErrorFn)(const char* message);
typedef int(DD7R_EXPORT_CALL* Dd7rGetLogLevelFromIniFileFn)(const char* directory,
                                                      const char* moduleTag,
                                                      const char* iniFileName);

#endif
