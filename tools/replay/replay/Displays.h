#pragma once
// The replay's DirectDraw objects, one per display layout the capture recorded: a host may have
// run with several (the demo makes a DirectDraw object per layout), and textures whose device
// leaves the layout to the display take the layout of their renderer's display. Natively each
// is a software DirectDraw in that layout; on Windows there is one real display, and a layout
// it does not have is replaced by its own (with a warning).

#include <map>
#include <string>

#include "system/DisplayFormat.h"
#include "platform/DirectDraw.h"
#include "reader/CaptureCall.h"

namespace dd7rreplay {

class Displays {
public:
    Displays() = default;
    ~Displays();
    Displays(const Displays&) = delete;
    Displays& operator=(const Displays&) = delete;

    // The DirectDraw object for a recorded display mode (null: one made already, else 32 bits);
    // throws std::runtime_error when none can be made.
    IDirectDraw7* forMode(const PixelFormatFields* mode);
    // Loses every surface that a display change loses, on every object.
    void loseAllSurfaces();

private:
    std::map<dd7rdemo::DisplayFormat, IDirectDraw7*> objects_;
};

}  // namespace dd7rreplay
