// The native build draws with the software DirectDraw, which has no screen to present on.

#include "system/PresentationWindow.h"

namespace dd7rdemo {

struct PresentationWindow::State {};

PresentationWindow::PresentationWindow(std::unique_ptr<State> state) : state_(std::move(state)) {}
PresentationWindow::~PresentationWindow() = default;

std::unique_ptr<PresentationWindow> PresentationWindow::open(IDirectDraw7*, unsigned, unsigned,
                                                             const std::string&,
                                                             std::string& error) {
    error = "showing a window needs the Windows build (run it under Wine with a display)";
    return nullptr;
}

bool PresentationWindow::present(IDirectDrawSurface7*, const Image&, std::string& error) {
    error = "no window";
    return false;
}

bool PresentationWindow::loseSurfaces(std::string& error) {
    error = "no window";
    return false;
}

Image PresentationWindow::screenshot(std::string& error) {
    error = "no window";
    return {};
}

}  // namespace dd7rdemo
