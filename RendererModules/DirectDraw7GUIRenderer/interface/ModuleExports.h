#pragma once
// The module's three exported functions, by undecorated name, C linkage, cdecl.

#include <cstdint>

#if defined(_WIN32)
#define DD7R_EXPORT __declspec(dllexport)
#define DD7R_CDECL __cdecl
#else
#define DD7R_EXPORT __attribute__((visibility("default")))
#define DD7R_CDECL
#endif

namespace ZelUISystem {
class Renderer;
class RendererDevice;
}  // namespace ZelUISystem

extern "C" {
DD7R_EXPORT ZelUISystem::Renderer* DD7R_CDECL createRenderer(
    ZelUISystem::RendererDevice* device, std::uint32_t reserved, bool hostFlag,
    const char* loggerDirectory, std::uint32_t loggerValueA, std::uint32_t loggerValueB);
DD7R_EXPORT void DD7R_CDECL destroyRenderer(ZelUISystem::Renderer* renderer);
DD7R_EXPORT const char* DD7R_CDECL getLastErrorString();
}

// Function-pointer types a host uses after looking the exports up by name.
using CreateRendererFn = ZelUISystem::Renderer*(DD7R_CDECL*)(ZelUISystem::RendererDevice*,
                                                             std::uint32_t, bool, const char*,
                                                             std::uint32_t, std::uint32_t);
using DestroyRendererFn = void(DD7R_CDECL*)(ZelUISystem::Renderer*);
using GetLastErrorStringFn = const char*(DD7R_CDECL*)();
