/* The module's binary interface in plain C, without the C++ class declarations: each object
   starts with a pointer to its table, and each table is a list of function pointers, one per
   slot, in slot order. A host (or a logging library) built by any compiler that follows the
   Windows platform's C++ layout can use the module through tables like these.

   Calling conventions, 32-bit x86 (the Windows build):
     - every slot is thiscall: the object in ECX, the other arguments on the stack, popped by
       the callee (a compiler that lacks the convention can reach it through a small thunk);
     - the logger's log slot takes a variable argument list, so it is cdecl, the object first;
     - the exported functions are cdecl, with undecorated names.
   Elsewhere (x86-64, and 32-bit x86 outside Windows, whose C++ passes the object on the stack)
   every slot is an ordinary function taking the object first.

   The object behind a table is otherwise opaque: its fields (the renderer's and the texture's
   base fields hold C++ standard library strings) are the module's business. */
#ifndef DD7R_SLOT_TABLES_H
#define DD7R_SLOT_TABLES_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#if defined(__i386__) && defined(_WIN32)
#define SLOT_CALL __attribute__((thiscall))
#define EXPORT_CALL __attribute__((cdecl))
#else
#define SLOT_CALL
#define EXPORT_CALL
#endif

/* Asserts that a table member sits at its slot number. */
#define SLOT_AT(table, member, slot)                                      \
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
    void(SLOT_CALL* submitQuad)(Dd7rRenderer* self, Dd7rFloatRect destination, float z,
                                Dd7rTexture* texture, Dd7rFloatRect source,
                                Dd7rCornerColours colours, int32_t reserved);
    void(SLOT_CALL* renderQueue)(Dd7rRenderer* self);
    void(SLOT_CALL* discardQueue)(Dd7rRenderer* self);
    void(SLOT_CALL* setQueueing)(Dd7rRenderer* self, bool queueing);
    Dd7rTexture*(SLOT_CALL* createSizedTexture)(Dd7rRenderer* self, float size);
    Dd7rTexture*(SLOT_CALL* createTextureFromFileData)(Dd7rRenderer* self, const uint8_t* data,
                                                       uint32_t size);
    Dd7rTexture*(SLOT_CALL* createTextureFromFile)(Dd7rRenderer* self, const char* fileName,
                                                   const char* directory);
    Dd7rTexture*(SLOT_CALL* createTexture)(Dd7rRenderer* self);
    void(SLOT_CALL* releaseTexture)(Dd7rRenderer* self, Dd7rTexture* texture);
    void(SLOT_CALL* releaseAllTextures)(Dd7rRenderer* self);
    bool(SLOT_CALL* isQueueing)(const Dd7rRenderer* self);
    float(SLOT_CALL* getDisplayWidth)(const Dd7rRenderer* self);
    float(SLOT_CALL* getDisplayHeight)(const Dd7rRenderer* self);
    void(SLOT_CALL* getDisplaySize)(const Dd7rRenderer* self, float* width, float* height);
    void(SLOT_CALL* getDisplayRect)(const Dd7rRenderer* self, float* left, float* top,
                                    float* right, float* bottom);
    uint32_t(SLOT_CALL* getTextureSizeLimit)(const Dd7rRenderer* self);
    uint32_t(SLOT_CALL* getHorzDpi)(const Dd7rRenderer* self);
    uint32_t(SLOT_CALL* getVertDpi)(const Dd7rRenderer* self);
    void(SLOT_CALL* preD3DReset)(Dd7rRenderer* self);
    void(SLOT_CALL* postD3DReset)(Dd7rRenderer* self, bool* sizeChanged);
    void(SLOT_CALL* reservedHookA)(Dd7rRenderer* self, uint32_t a, uint32_t b);
    void(SLOT_CALL* reservedHookB)(Dd7rRenderer* self, uint32_t a, uint32_t b, uint32_t c);
    void(SLOT_CALL* setTargetSurface)(Dd7rRenderer* self, void* directDrawSurface7);
    void(SLOT_CALL* reservedHookC)(Dd7rRenderer* self);
    void(SLOT_CALL* reservedHookD)(Dd7rRenderer* self);
    void*(SLOT_CALL* destroy)(Dd7rRenderer* self, uint32_t flags);
} Dd7rRendererTable;
SLOT_AT(Dd7rRendererTable, submitQuad, 0);
SLOT_AT(Dd7rRendererTable, createSizedTexture, 4);
SLOT_AT(Dd7rRendererTable, createTexture, 7);
SLOT_AT(Dd7rRendererTable, isQueueing, 10);
SLOT_AT(Dd7rRendererTable, preD3DReset, 18);
SLOT_AT(Dd7rRendererTable, setTargetSurface, 22);
SLOT_AT(Dd7rRendererTable, destroy, 25);

struct Dd7rRenderer {
    const Dd7rRendererTable* table;
};

/* ---- Texture: 11 slots; the module's textures add two ---- */
typedef struct Dd7rTextureTable {
    uint32_t(SLOT_CALL* getWidth)(const Dd7rTexture* self);
    uint32_t(SLOT_CALL* getImageWidth)(const Dd7rTexture* self);
    float(SLOT_CALL* getHorzScale)(const Dd7rTexture* self);
    uint32_t(SLOT_CALL* getHeight)(const Dd7rTexture* self);
    uint32_t(SLOT_CALL* getImageHeight)(const Dd7rTexture* self);
    float(SLOT_CALL* getVertScale)(const Dd7rTexture* self);
    void(SLOT_CALL* loadFromFile)(Dd7rTexture* self, const char* fileName, const char* directory);
    void(SLOT_CALL* loadFromFileData)(Dd7rTexture* self, const uint8_t* data, uint32_t size);
    void(SLOT_CALL* loadFromMemory)(Dd7rTexture* self, const void* pixels, uint32_t width,
                                    uint32_t height, uint32_t format);
    void(SLOT_CALL* fillFromMemory)(Dd7rTexture* self, const void* pixels, uint32_t x, uint32_t y,
                                    uint32_t width, uint32_t height, uint32_t pitch,
                                    uint32_t format);
    /* A texture belongs to its renderer, which destroys it here; a host gives it back with
       the renderer's releaseTexture and never calls this slot. */
    void*(SLOT_CALL* destroy)(Dd7rTexture* self, uint32_t flags);
    /* The module's textures only; the renderer calls them around a device reset. */
    void(SLOT_CALL* preD3DReset)(Dd7rTexture* self);
    void(SLOT_CALL* postD3DReset)(Dd7rTexture* self);
} Dd7rTextureTable;
SLOT_AT(Dd7rTextureTable, getWidth, 0);
SLOT_AT(Dd7rTextureTable, getVertScale, 5);
SLOT_AT(Dd7rTextureTable, fillFromMemory, 9);
SLOT_AT(Dd7rTextureTable, destroy, 10);
SLOT_AT(Dd7rTextureTable, preD3DReset, 11);
SLOT_AT(Dd7rTextureTable, postD3DReset, 12);

struct Dd7rTexture {
    const Dd7rTextureTable* table;
};

/* ---- RendererDevice: 6 slots, made by the host; no destroy slot ---- */
typedef struct Dd7rRendererDeviceTable {
    void*(SLOT_CALL* queryDirectDraw)(Dd7rRendererDevice* self); /* an IDirectDraw7 */
    void(SLOT_CALL* reservedDeviceSlot)(Dd7rRendererDevice* self); /* never called */
    void(SLOT_CALL* queryDisplaySize)(Dd7rRendererDevice* self, float* width, float* height);
    int(SLOT_CALL* queryBlendMode)(Dd7rRendererDevice* self);
    int(SLOT_CALL* querySurfaceMemory)(Dd7rRendererDevice* self);
    int(SLOT_CALL* queryTexturePixelFormat)(Dd7rRendererDevice* self);
} Dd7rRendererDeviceTable;
SLOT_AT(Dd7rRendererDeviceTable, queryDirectDraw, 0);
SLOT_AT(Dd7rRendererDeviceTable, queryDisplaySize, 2);
SLOT_AT(Dd7rRendererDeviceTable, queryTexturePixelFormat, 5);

struct Dd7rRendererDevice {
    const Dd7rRendererDeviceTable* table;
};

/* ---- Logger: 4 slots, made by the logging library ---- */
typedef struct Dd7rLoggerTable {
    void*(SLOT_CALL* destroy)(Dd7rLogger* self, uint32_t flags);
    void(SLOT_CALL* reportFatal)(Dd7rLogger* self, const char* message, int flag);
    void(SLOT_CALL* reservedLoggerSlot)(Dd7rLogger* self); /* never called */
    void (*log)(Dd7rLogger* self, int level, const char* format, ...); /* cdecl */
} Dd7rLoggerTable;
SLOT_AT(Dd7rLoggerTable, destroy, 0);
SLOT_AT(Dd7rLoggerTable, reportFatal, 1);
SLOT_AT(Dd7rLoggerTable, log, 3);

struct Dd7rLogger {
    const Dd7rLoggerTable* table;
};

/* ---- Exported functions (cdecl, undecorated names) ---- */
/* dd7r.dll */
typedef Dd7rRenderer*(EXPORT_CALL* Dd7rCreateRendererFn)(Dd7rRendererDevice* device,
                                                         uint32_t reserved, bool hostFlag,
                                                         const char* loggerDirectory,
                                                         uint32_t loggerValueA,
                                                         uint32_t loggerValueB);
typedef void(EXPORT_CALL* Dd7rDestroyRendererFn)(Dd7rRenderer* renderer);
typedef const char*(EXPORT_CALL* Dd7rGetLastErrorStringFn)(void);
/* dll_logger.dll */
typedef Dd7rLogger*(EXPORT_CALL* Dd7rCreateOrvLoggerFn)(uint32_t hostValueA, uint32_t hostValueB,
                                                       const char* moduleTag, int level);
typedef int(EXPORT_CALL* Dd7rUnRecoveryErrorFn)(const char* message);
typedef int(EXPORT_CALL* Dd7rGetLogLevelFromIniFileFn)(const char* directory,
                                                      const char* moduleTag,
                                                      const char* iniFileName);

#endif
