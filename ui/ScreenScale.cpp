#include "ui/ScreenScale.h"

namespace ui {
namespace {

const int kBaseDpi = 96;

}  // namespace

int screenDpi() {
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return kBaseDpi;
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

int scaledForScreen(int pixels) { return MulDiv(pixels, screenDpi(), kBaseDpi); }

}  // namespace ui
