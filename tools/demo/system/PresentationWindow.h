#pragma once
// Showing frames on the desktop the way a windowed DirectDraw game does: a window, the primary
// surface with a clipper bound to the window, and a stretching Blt of the frame onto the
// window's client area. Only the Windows build has it (PresentationWindowWindows.cpp); the
// native build's open() always fails (PresentationWindowNative.cpp).

#include "image/Image.h"
#include "platform/DirectDraw.h"

#include <memory>
#include <string>

namespace dd7rdemo {

class PresentationWindow {
public:
    // A visible window whose client area is width x height; null with `error` set when there
    // is no display or DirectDraw refuses the primary surface or the clipper.
    static std::unique_ptr<PresentationWindow> open(IDirectDraw7* directDraw, unsigned width,
                                                    unsigned height, const std::string& title,
                                                    std::string& error);
    ~PresentationWindow();
    PresentationWindow(const PresentationWindow&) = delete;
    PresentationWindow& operator=(const PresentationWindow&) = delete;

    // Copies the frame onto the window through the primary surface (restored when lost). A
    // frame in another layout than the display's is shown from `picture` (the frame read
    // back) through a staging surface in the display's layout: Wine's DirectDraw leaves the
    // window black when it is asked to convert a 555 surface onto the 32-bit primary.
    bool present(IDirectDrawSurface7* frame, const Image& picture, std::string& error);
    // Loses the surfaces by entering exclusive full-screen mode with the window and leaving it
    // again: what a display with a window manager does where setting the display mode from
    // the normal cooperative level is refused.
    bool loseSurfaces(std::string& error);
    // What the window shows, read back from the screen.
    Image screenshot(std::string& error);

    struct State;

private:
    explicit PresentationWindow(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace dd7rdemo
