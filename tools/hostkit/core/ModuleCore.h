#pragma once
// The one door into the module's core for the programs that drive it linked in rather than
// loaded: the benchmarks (to time the renderer without a shared library's boundary), the fuzz
// host, the soak, the reliability suites and the module's own renderer fixture. What they may
// use through it, and no more:
//   CDD7Render    built straight over a host's device; its queue and render pass
//   CDD7Texture   a texture's DirectDraw surface, to check an upload or lose it on purpose
//   overrideProcessorHasMMXForTesting   blend modes 1 and 2 on a processor answer of our choice
// The Windows replay's inspector links the module in as well, entry points included, to set the
// quad observer (core/ObservedModule.h, renderer/QuadObserver.h): dd7r.dll exports no observer.
// Everything else a tool needs goes through the host headers (interface/) like any host.

#include "renderer/CDD7Render.h"
#include "renderer/ProcessorCheck.h"
#include "texture/CDD7Texture.h"
