#include "system/PresentationWindow.h"

#include <cstring>

namespace dd7rdemo {

struct PresentationWindow::State {
    HWND window = nullptr;
    IDirectDraw7* directDraw = nullptr;  // the host's; not owned
    IDirectDrawSurface7* primary = nullptr;
    IDirectDrawClipper* clipper = nullptr;
    IDirectDrawSurface7* staging = nullptr;  // display layout, for frames in another layout
    unsigned width = 0;
    unsigned height = 0;
};

namespace {

constexpr const char* kWindowClass = "dd7r-demo-window";

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

bool registerWindowClass() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND createWindow(unsigned width, unsigned height, const std::string& title) {
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExA(0, kWindowClass, title.c_str(), style, 40, 40,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window != nullptr) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    return window;
}

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool createPrimaryWithClipper(PresentationWindow::State& state, std::string& error) {
    if (FAILED(state.directDraw->SetCooperativeLevel(state.window, DDSCL_NORMAL))) {
        error = "SetCooperativeLevel(window, DDSCL_NORMAL) failed";
        return false;
    }
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (FAILED(state.directDraw->CreateSurface(&desc, &state.primary, nullptr))) {
        error = "the primary surface cannot be created";
        return false;
    }
    if (FAILED(state.directDraw->CreateClipper(0, &state.clipper, nullptr)) ||
        FAILED(state.clipper->SetHWnd(0, state.window)) ||
        FAILED(state.primary->SetClipper(state.clipper))) {
        error = "the clipper cannot be attached to the window";
        return false;
    }
    return true;
}

bool createStagingSurface(PresentationWindow::State& state, std::string& error) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = state.width;
    desc.dwHeight = state.height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    if (FAILED(state.directDraw->CreateSurface(&desc, &state.staging, nullptr))) {
        error = "the staging surface cannot be created";
        return false;
    }
    return true;
}

DWORD bitCountOf(IDirectDrawSurface7* surface) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    if (FAILED(surface->GetSurfaceDesc(&desc))) return 0;
    return desc.ddpfPixelFormat.dwRGBBitCount;
}

// Writes the picture into the staging surface, which has the display's 32-bit layout.
bool fillStaging(IDirectDrawSurface7* staging, const Image& picture) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    if (FAILED(staging->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return false;
    const bool fits = desc.ddpfPixelFormat.dwRGBBitCount == 32 && desc.dwWidth == picture.width() &&
                      desc.dwHeight == picture.height();
    for (unsigned y = 0; fits && y < picture.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(desc.lpSurface) +
                                                     static_cast<std::ptrdiff_t>(y) * desc.lPitch);
        for (unsigned x = 0; x < picture.width(); ++x) {
            const std::uint8_t* p = picture.pixel(x, y);
            row[x] = static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
        }
    }
    staging->Unlock(nullptr);
    return fits;
}

RECT clientRectOnScreen(const PresentationWindow::State& state) {
    POINT origin{0, 0};
    ClientToScreen(state.window, &origin);
    return {origin.x, origin.y, origin.x + static_cast<LONG>(state.width),
            origin.y + static_cast<LONG>(state.height)};
}

}  // namespace

PresentationWindow::PresentationWindow(std::unique_ptr<State> state) : state_(std::move(state)) {}

PresentationWindow::~PresentationWindow() {
    if (state_->primary != nullptr) state_->primary->SetClipper(nullptr);
    if (state_->staging != nullptr) state_->staging->Release();
    if (state_->clipper != nullptr) state_->clipper->Release();
    if (state_->primary != nullptr) state_->primary->Release();
    if (state_->window != nullptr) DestroyWindow(state_->window);
    pumpMessages();
}

std::unique_ptr<PresentationWindow> PresentationWindow::open(IDirectDraw7* directDraw,
                                                             unsigned width, unsigned height,
                                                             const std::string& title,
                                                             std::string& error) {
    auto state = std::make_unique<State>();
    state->directDraw = directDraw;
    state->width = width;
    state->height = height;
    if (!registerWindowClass() || (state->window = createWindow(width, height, title)) == nullptr) {
        error = "the window cannot be created (is there a display?)";
        return nullptr;
    }
    std::unique_ptr<PresentationWindow> presenter(new PresentationWindow(std::move(state)));
    pumpMessages();
    if (!createPrimaryWithClipper(*presenter->state_, error) ||
        !createStagingSurface(*presenter->state_, error))
        return nullptr;
    return presenter;
}

bool PresentationWindow::present(IDirectDrawSurface7* frame, const Image& picture,
                                 std::string& error) {
    pumpMessages();
    if (bitCountOf(frame) != bitCountOf(state_->primary)) {
        if (!fillStaging(state_->staging, picture)) {
            error = "the staging surface cannot be filled";
            return false;
        }
        frame = state_->staging;
    }
    RECT destination = clientRectOnScreen(*state_);
    HRESULT result = state_->primary->Blt(&destination, frame, nullptr, DDBLT_WAIT, nullptr);
    if (result == DDERR_SURFACELOST && SUCCEEDED(state_->primary->Restore()))
        result = state_->primary->Blt(&destination, frame, nullptr, DDBLT_WAIT, nullptr);
    pumpMessages();
    if (FAILED(result)) {
        error = "Blt onto the primary surface failed";
        return false;
    }
    return true;
}

bool PresentationWindow::loseSurfaces(std::string& error) {
    IDirectDraw7* directDraw = state_->directDraw;
    const bool lost =
        SUCCEEDED(directDraw->SetCooperativeLevel(state_->window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
    directDraw->RestoreDisplayMode();
    const bool back = SUCCEEDED(directDraw->SetCooperativeLevel(state_->window, DDSCL_NORMAL));
    pumpMessages();
    if (!lost || !back) error = "switching to exclusive mode and back failed";
    return lost && back;
}

// The screen's pixels under the client area, through GDI, as a screenshot tool sees them.
Image PresentationWindow::screenshot(std::string& error) {
    pumpMessages();
    const RECT area = clientRectOnScreen(*state_);
    const int width = static_cast<int>(state_->width);
    const int height = static_cast<int>(state_->height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    Image image;
    if (memory != nullptr && bitmap != nullptr && bits != nullptr) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY)) {
            GdiFlush();
            image = Image(state_->width, state_->height, 3);
            const auto* source = static_cast<const std::uint8_t*>(bits);
            for (unsigned i = 0; i < state_->width * state_->height; ++i) {
                std::uint8_t* out = image.data() + i * 3;
                out[0] = source[i * 4 + 2];
                out[1] = source[i * 4 + 1];
                out[2] = source[i * 4 + 0];
            }
        }
        SelectObject(memory, previous);
    }
    if (image.empty()) error = "the screen cannot be read";
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (memory != nullptr) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

}  // namespace dd7rdemo
