#pragma once
// What the module's calls out learned during a host call, told to a witness: the capture sets
// one while it records a host call (null otherwise) and keeps what it hears after the call's
// record, so that a replay can tell where its DirectDraw, or the absent logging library, makes
// the difference. Witnessing changes nothing the module does.

#include "platform/DirectDraw.h"

namespace ZelUISystem {

class CallWitness {
public:
    // DirectDraw's answer to a surface request: `asked` as handed to CreateSurface, its
    // result, and the surface made (null on failure).
    virtual void surfaceAnswered(const DDSURFACEDESC2& asked, HRESULT result, IDirectDrawSurface7* made) noexcept = 0;
    // A call into the logging library threw (`text`: a standard exception's, else null).
    virtual void loggerThrew(bool standardException, const char* text) noexcept = 0;

protected:
    ~CallWitness() = default;
};

extern CallWitness* callWitness;

}  // namespace ZelUISystem
