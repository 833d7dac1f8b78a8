#include "UiTestSupport.h"

#include "app/MessageBoxRouting.h"

namespace uitest {
namespace {

// Every box of every test goes through the system layer, where the
// simulation answers it, as the program's own boxes do: a real box would
// wait for a click that never comes.
struct ProgramMessageBoxes {
    ProgramMessageBoxes() { app::routeMessageBoxes(); }
} programMessageBoxes;

}  // namespace

Host::Host() {
    hwnd_ = CreateWindowExW(0, L"STATIC", L"test host", WS_POPUP | WS_VISIBLE, 40, 40, 700, 500,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

Host::~Host() {
    if (hwnd_) DestroyWindow(hwnd_);
}

Picture::Picture(HWND window) {
    RECT client = {0, 0, 0, 0};
    if (!GetClientRect(window, &client)) return;
    width_ = client.right;
    height_ = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
    const DWORD* source = static_cast<const DWORD*>(bits);
    pixels_.assign(source, source + width_ * height_);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

COLORREF Picture::at(int x, int y) const {
    DWORD p = pixels_[static_cast<size_t>(y) * width_ + x];
    return RGB((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff);
}

int Picture::count(COLORREF colour) const {
    int n = 0;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            if (at(x, y) == colour) ++n;
    return n;
}

int Picture::inkRows(COLORREF background) const {
    int rows = 0;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (at(x, y) != background) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

RECT rectInParent(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT dialogUnits(HWND dialog, int x, int y, int width, int height) {
    RECT rect = {x, y, x + width, y + height};
    MapDialogRect(dialog, &rect);
    return rect;
}

}  // namespace uitest
