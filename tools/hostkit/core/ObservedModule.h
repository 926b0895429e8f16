#pragma once
// The renderer module as the replay's inspector needs it: one whose quad observer it can set, to
// learn which path each quad took. Natively that is the shared module beside the program, whose
// observer is one of its symbols (ObservedModule_loaded.cpp). dd7r.dll exports its three entry
// points and nothing else, so on Windows the module's code is linked into the program and observed
// there (ObservedModule_linked.cpp): a report then shows the module the program was built with.

#include <string>

#include "host/RendererModule.h"
#include "renderer/QuadObserver.h"

namespace dd7rdemo {

RendererModule observableRendererModule();

// Where `module` keeps its observer (null: none is set); null, with `error`, when it has none.
ZelUISystem::QuadObserver** quadObserverOf(const RendererModule& module, std::string& error);

}  // namespace dd7rdemo
