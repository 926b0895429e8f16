#pragma once
// A host's realistic session, start to end: create the renderer, load textures of every kind
// (five image formats from memory, a file on disk, raw pixels in three byte orders, host-filled,
// sized and blank), draw frames with opaque, translucent, tinted and stretched quads, queued
// and immediate, survive a device reset, a display change that loses every surface and a
// reset to a new size, release textures one by one and all at once, and destroy the renderer.
// Every host call is made as a host makes it: a failure it is told about is noted, and the
// session goes on.

#include <string>
#include <vector>

#include "HostSession.h"

namespace reliability {

// A failure the host was told about: the slot it called and the exception's text.
struct HostFailure {
    std::string slot;
    std::string text;
};

struct SessionOutcome {
    bool rendererCreated = false;
    std::string lastError;              // getLastErrorString when creation failed
    std::vector<HostFailure> failures;  // the standard exceptions the host caught
    int foreignExceptions = 0;          // anything else that escaped the module
};

SessionOutcome runRealisticSession(HostSession& host);

}  // namespace reliability
