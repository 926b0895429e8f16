#include "core/ObservedModule.h"

#include <cstdlib>

#include "interface/ModuleExports.h"

namespace dd7rdemo {

namespace {

// The module's code reads DD7R_CAPTURE while the program starts, and so does dd7r.dll when it is
// loaded: a program that replays or inspects captures must never record itself, least of all over
// the capture it reads. This runs before every other static constructor, the module's included.
struct NoCaptureOfThisProgram {
    NoCaptureOfThisProgram() { _putenv("DD7R_CAPTURE="); }
};
__attribute__((init_priority(101))) NoCaptureOfThisProgram noCaptureOfThisProgram;

}  // namespace

RendererModule observableRendererModule() {
    return RendererModule("the module linked into this program", &createRenderer, &destroyRenderer,
                          &getLastErrorString);
}

ZelUISystem::QuadObserver** quadObserverOf(const RendererModule& module, std::string& error) {
    if (module.createRenderer == &createRenderer) return &dd7rQuadObserver;
    error = module.path() + " is observed only through the module linked into this program";
    return nullptr;
}

}  // namespace dd7rdemo
