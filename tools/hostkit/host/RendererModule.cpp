#include "host/RendererModule.h"

#include "system/HostPlatform.h"

namespace dd7rdemo {

namespace {

template <typename Fn>
Fn lookUp(void* library, const char* name, std::string& missing) {
    void* symbol = findSharedLibrarySymbol(library, name);
    if (symbol == nullptr) missing += missing.empty() ? name : std::string(", ") + name;
    return reinterpret_cast<Fn>(symbol);
}

}  // namespace

RendererModule::RendererModule(const std::string& path) : path_(path) {
    void* library = loadSharedLibrary(path, error_);
    if (library == nullptr) return;
    std::string missing;
    createRenderer = lookUp<CreateRendererFn>(library, "createRenderer", missing);
    destroyRenderer = lookUp<DestroyRendererFn>(library, "destroyRenderer", missing);
    getLastErrorString = lookUp<GetLastErrorStringFn>(library, "getLastErrorString", missing);
    if (!missing.empty()) error_ = path + " does not export " + missing;
}

std::string defaultRendererModulePath() {
    return executableDirectory() + rendererModuleFileName();
}

}  // namespace dd7rdemo
