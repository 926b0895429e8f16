#include "HookedDirectDraw.h"

#include "RealDisplay.h"
#include "TestDisplayFormat.h"

namespace ddtest {

namespace {

// The test display a real DirectDraw can show that is closest to the layout asked for.
TestDisplayFormat nearestShownFormat(const DDPIXELFORMAT& display) {
    switch (display.dwRGBBitCount) {
        case 8: return TestDisplayFormat::Palettized8;
        case 16: return TestDisplayFormat::Rgb565;
        case 24: return TestDisplayFormat::Rgb24;
        default: return TestDisplayFormat::Xrgb32;
    }
}

// Under Wine, opening a DirectDraw object and switching the display cost more than a whole
// test session: the object last opened stays open for the next hooked object that wants the
// same display, and is closed (its display mode put back) when another is wanted, or at exit.
class KeptDirectDraw {
public:
    ~KeptDirectDraw() { close(); }

    IDirectDraw7* open(TestDisplayFormat format, bool& modeChanged) {
        if (real_ == nullptr || format_ != format) {
            close();
            real_ = openRealDirectDraw(pixelFormatOf(format), modeChanged_);
            format_ = format;
        }
        modeChanged = modeChanged_;
        return real_;
    }

private:
    void close() {
        closeRealDirectDraw(real_, modeChanged_);
        real_ = nullptr;
    }

    IDirectDraw7* real_ = nullptr;
    TestDisplayFormat format_ = TestDisplayFormat::Xrgb32;
    bool modeChanged_ = false;
};

}  // namespace

HookedDirectDraw* createHookedDirectDraw(const DDPIXELFORMAT& display) {
    static KeptDirectDraw kept;
    for (TestDisplayFormat format : {nearestShownFormat(display), TestDisplayFormat::Xrgb32}) {
        bool modeChanged = false;
        if (IDirectDraw7* real = kept.open(format, modeChanged))
            return new FaultingDirectDraw(real, modeChanged, pixelFormatOf(format));
    }
    return nullptr;
}

}  // namespace ddtest
