#pragma once
// The renderer module as a host sees it: a shared library loaded by path and its three exports
// looked up by name. The library stays loaded for the life of the process, as the renderers and
// textures it hands out point into it. A program that carries the module's code itself (the
// Windows inspector, core/ObservedModule.h) hands its three entry points over instead.

#include "interface/ModuleExports.h"

#include <string>
#include <utility>

namespace dd7rdemo {

class RendererModule {
public:
    // Loads the library; ok() tells whether it and all three exports were found.
    explicit RendererModule(const std::string& path);
    // The module's code linked into this program: nothing is loaded; `name` says so in messages.
    RendererModule(std::string name, CreateRendererFn create, DestroyRendererFn destroy,
                   GetLastErrorStringFn lastError)
        : createRenderer(create), destroyRenderer(destroy), getLastErrorString(lastError),
          path_(std::move(name)) {}

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    const std::string& path() const { return path_; }

    CreateRendererFn createRenderer = nullptr;
    DestroyRendererFn destroyRenderer = nullptr;
    GetLastErrorStringFn getLastErrorString = nullptr;

private:
    std::string path_;
    std::string error_;
};

// The module beside the running program (dd7r.so or dd7r.dll).
std::string defaultRendererModulePath();

}  // namespace dd7rdemo
