/* What the C test host needs besides the module's tables: loading libraries and a DirectDraw
   to draw on (the tests' DirectDraw: the software stand-in natively, the real one on Windows).
   Nothing of the module's interface goes through here. */
#ifndef DD7R_HOST_SERVICES_H
#define DD7R_HOST_SERVICES_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A shared library by path (UTF-8), or null; a named export of it, or null. */
void* hostLoadLibrary(const char* path);
void* hostFindExport(void* library, const char* name);

/* A DirectDraw 7 object with a 32-bit display, as an IDirectDraw7 pointer, or null. */
void* hostCreateDirectDraw(void);
void hostReleaseDirectDraw(void* directDraw);
/* The surfaces of that DirectDraw that are still alive. */
long hostLiveSurfaceCount(void* directDraw);

/* An off-screen 32-bit surface in system memory, as an IDirectDrawSurface7 pointer, or null. */
void* hostCreateSurface(void* directDraw, uint32_t width, uint32_t height);
void hostReleaseSurface(void* surface);
int hostFillSurface(void* surface, uint32_t colour);
/* The pixel's red, green and blue bytes as 0x00RRGGBB. */
uint32_t hostReadPixel(void* surface, uint32_t x, uint32_t y);

#ifdef __cplusplus
}
#endif

#endif
