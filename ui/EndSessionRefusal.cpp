#include "ui/EndSessionRefusal.h"

namespace ui {
namespace {

const char kClassName[] = "PrinterDriverSetup.EndSessionRefusal";

LRESULT CALLBACK refuse(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_QUERYENDSESSION) return FALSE;
    return DefWindowProcA(window, message, wParam, lParam);
}

// ShutdownBlockReasonCreate and ShutdownBlockReasonDestroy came with Vista.
typedef BOOL(WINAPI* ReasonCreateProc)(HWND, LPCWSTR);
typedef BOOL(WINAPI* ReasonDestroyProc)(HWND);

FARPROC user32Function(const char* name) { return GetProcAddress(GetModuleHandleA("user32.dll"), name); }

}  // namespace

EndSessionRefusal::EndSessionRefusal(const wchar_t* reason) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &refuse;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);  // fails harmlessly when registered before
    // Top-level (only those are asked), never shown.
    window_ = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              instance, nullptr);
    if (window_ == nullptr) return;
    if (auto create = reinterpret_cast<ReasonCreateProc>(user32Function("ShutdownBlockReasonCreate")))
        create(window_, reason);
}

EndSessionRefusal::~EndSessionRefusal() {
    if (window_ == nullptr) return;
    if (auto destroy = reinterpret_cast<ReasonDestroyProc>(user32Function("ShutdownBlockReasonDestroy")))
        destroy(window_);
    DestroyWindow(window_);
}

}  // namespace ui
