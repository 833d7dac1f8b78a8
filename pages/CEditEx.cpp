#include "pages/CEditEx.h"

#include <cstring>

#include "ui/ScreenScale.h"

CEditEx::CEditEx()
    : background_(GetSysColor(COLOR_WINDOW)), text_(GetSysColor(COLOR_WINDOWTEXT)) {
    brush_ = CreateSolidBrush(background_);
}

CEditEx::~CEditEx() {
    detach();
    if (font_) DeleteObject(font_);
    if (brush_) DeleteObject(brush_);
}

bool CEditEx::attach(HWND window) { return subclass(window); }

COLORREF CEditEx::setBackgroundColour(COLORREF colour) {
    COLORREF previous = background_;
    background_ = colour;
    if (brush_) DeleteObject(brush_);
    brush_ = nullptr;
    recreateBackgroundBrush();
    invalidate(true);
    return previous;
}

COLORREF CEditEx::setTextColour(COLORREF colour) {
    COLORREF previous = text_;
    text_ = colour;
    invalidate(true);
    return previous;
}

void CEditEx::recreateBackgroundBrush() {
    if (brush_) DeleteObject(brush_);
    brush_ = CreateSolidBrush(background_);
}

void CEditEx::applyFont(HFONT font) {
    if (font == nullptr) return;
    // The control gets the new font before the old one is deleted.
    if (hwnd_) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (font_) DeleteObject(font_);
    font_ = font;
}

void CEditEx::setFont(int height, BYTE pitchAndFamily, const char* face) {
    // A height meant for 96 dots per inch keeps its size on a scaled screen.
    applyFont(CreateFontA(ui::scaledForScreen(height), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, 0, 0, 0, pitchAndFamily,
                          face ? face : ""));
}

void CEditEx::setFont(const LOGFONTA* description) {
    if (description == nullptr) return;
    applyFont(CreateFontIndirectA(description));
}

void CEditEx::copyLook(const CEditEx& other) {
    if (&other == this || (hwnd_ && hwnd_ == other.hwnd_)) return;
    setBackgroundColour(other.background_);
    setTextColour(other.text_);
    if (other.font_ == nullptr) return;
    LOGFONTA description;
    std::memset(&description, 0, sizeof description);
    description.lfHeight = -8;
    description.lfWeight = FW_NORMAL;
    std::strcpy(description.lfFaceName, "MS Sans Serif");
    GetObjectA(other.font_, sizeof description, &description);
    setFont(&description);
}

HBRUSH CEditEx::reflectCtlColor(HDC dc, UINT) {
    SetTextColor(dc, text_);
    SetBkColor(dc, background_);
    return brush_;
}

void CEditEx::onMenuCommand(UINT id) {
    HWND parent = hwnd_ ? GetParent(hwnd_) : nullptr;
    if (parent) SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

LRESULT CEditEx::showContextMenu(WPARAM wParam, LPARAM lParam) {
    HMENU menu = LoadMenuW(ui::resourceModule(), MAKEINTRESOURCEW(LOWORD(contextMenu_)));
    HMENU popup = menu ? GetSubMenu(menu, 0) : nullptr;
    if (popup == nullptr) {
        if (menu) DestroyMenu(menu);
        return defaultProc(WM_CONTEXTMENU, wParam, lParam);
    }
    POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    // From the keyboard (Shift+F10, the menu key) there is no click point:
    // open the menu at the control's top left corner.
    if (lParam == -1) {
        RECT bounds;
        GetWindowRect(hwnd_, &bounds);
        at = {bounds.left, bounds.top};
    }
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
    DestroyMenu(menu);
    return 0;
}

LRESULT CEditEx::windowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CHAR:
        if (filter_ && !filter_->accepts(static_cast<UINT>(wParam))) {
            MessageBeep(0);
            return 0;
        }
        break;
    case WM_CONTEXTMENU:
        if (contextMenu_ != 0) return showContextMenu(wParam, lParam);
        break;
    case WM_GETDLGCODE:
        // A text to read keeps its selection when the keyboard's focus
        // arrives, instead of the dialog selecting all of it.
        if (GetWindowLongW(hwnd_, GWL_STYLE) & ES_READONLY)
            return defaultProc(message, wParam, lParam) & ~DLGC_HASSETSEL;
        break;
    case WM_COMMAND:
        if (lParam == 0 && HIWORD(wParam) == 0) {
            onMenuCommand(LOWORD(wParam));
            return 0;
        }
        break;
    default:
        break;
    }
    return defaultProc(message, wParam, lParam);
}
