#include "core/ObservedModule.h"

#include <cstdlib>

#include "system/HostPlatform.h"

namespace dd7rdemo {

namespace {

// The module reads DD7R_CAPTURE when it is loaded: a program that replays or inspects captures
// must never record itself, least of all over the capture it reads.
struct NoCaptureOfThisProgram {
    NoCaptureOfThisProgram() { unsetenv("DD7R_CAPTURE"); }
};
const NoCaptureOfThisProgram noCaptureOfThisProgram;

}  // namespace

RendererModule observableRendererModule() { return RendererModule(defaultRendererModulePath()); }

ZelUISystem::QuadObserver** quadObserverOf(const RendererModule& module, std::string& error) {
    if (!module.ok()) {
        error = module.error();
        return nullptr;
    }
    // Loaded already: this only hands back the same library's handle.
    void* library = loadSharedLibrary(module.path(), error);
    if (library == nullptr) return nullptr;
    auto* slot = static_cast<ZelUISystem::QuadObserver**>(findSharedLibrarySymbol(library, "dd7rQuadObserver"));
    if (slot == nullptr) error = module.path() + " has no quad observer (dd7rQuadObserver): a module too old to inspect";
    return slot;
}

}  // namespace dd7rdemo
