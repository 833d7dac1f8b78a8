#include "pages/CStaticEx.h"

#include <cstring>
#include <vector>

#include "os/Os.h"
#include "ui/ScreenScale.h"
#include "ui/Timer.h"

CStaticEx::CStaticEx()
    : text_(GetSysColor(COLOR_WINDOWTEXT)),
      background_(CreateSolidBrush(GetSysColor(COLOR_BTNFACE))),
      alternate_(CreateSolidBrush(GetSysColor(COLOR_BTNFACE))) {
    std::memset(&description_, 0, sizeof description_);
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof description_, &description_);
    font_ = CreateFontIndirectW(&description_);
}

CStaticEx::~CStaticEx() {
    if (hwnd_ && timerRunning_) ui::killTimer(hwnd_, kBlinkTimer);
    // The control must not keep a font that is about to be deleted.
    if (hwnd_) SendMessageW(hwnd_, WM_SETFONT, 0, FALSE);
    detach();
    if (font_) DeleteObject(font_);
    if (background_) DeleteObject(background_);
    if (alternate_) DeleteObject(alternate_);
}

bool CStaticEx::attach(HWND window) {
    if (!subclass(window)) return false;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return true;
}

void CStaticEx::redraw() const {
    if (hwnd_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// The font is selected in the control-colour message, but the version 6
// static control selects its own font after asking for its colours, so the
// control is given the font as well (before the old one is deleted).
void CStaticEx::recreateFont() {
    HFONT font = CreateFontIndirectW(&description_);
    if (font == nullptr) return;
    if (hwnd_) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (font_) DeleteObject(font_);
    font_ = font;
}

CStaticEx& CStaticEx::setTextColour(COLORREF colour) {
    text_ = colour;
    redraw();
    return *this;
}

CStaticEx& CStaticEx::setBackgroundColour(COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    if (brush) {
        if (background_) DeleteObject(background_);
        background_ = brush;
    }
    return *this;
}

CStaticEx& CStaticEx::setCharacterHeight(int height) {
    // A height meant for 96 dots per inch keeps its size on a scaled screen.
    description_.lfHeight = -ui::scaledForScreen(height);
    recreateFont();
    redraw();
    return *this;
}

CStaticEx& CStaticEx::setFaceName(const char* face) {
    // The face arrives in the ANSI code page; the description keeps UTF-16.
    // A name longer than a face name can be is cut, never copied past it.
    wchar_t wide[LF_FACESIZE] = {};
    if (face && *face) {
        int length = MultiByteToWideChar(CP_ACP, 0, face, -1, nullptr, 0);
        std::vector<wchar_t> converted(length > 0 ? static_cast<size_t>(length) : 1, L'\0');
        MultiByteToWideChar(CP_ACP, 0, face, -1, converted.data(), length);
        wcsncpy(wide, converted.data(), LF_FACESIZE - 1);
    }
    std::memcpy(description_.lfFaceName, wide, sizeof wide);
    recreateFont();
    redraw();
    return *this;
}

CStaticEx& CStaticEx::setBold(bool on) {
    description_.lfWeight = on ? FW_BOLD : FW_NORMAL;
    recreateFont();
    redraw();
    return *this;
}

CStaticEx& CStaticEx::setUnderline(bool on) {
    description_.lfUnderline = on ? TRUE : FALSE;
    recreateFont();
    redraw();
    return *this;
}

CStaticEx& CStaticEx::setItalic(bool on) {
    description_.lfItalic = on ? TRUE : FALSE;
    recreateFont();
    redraw();
    return *this;
}

void CStaticEx::changeStyle(int index, LONG bits, bool on) {
    if (!hwnd_) return;
    LONG style = GetWindowLongW(hwnd_, index);
    SetWindowLongW(hwnd_, index, on ? (style | bits) : (style & ~bits));
}

CStaticEx& CStaticEx::setSunkenEdge(bool on) {
    changeStyle(GWL_EXSTYLE, WS_EX_STATICEDGE, on);
    if (hwnd_)
        SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return *this;
}

CStaticEx& CStaticEx::setBorder(bool on) {
    changeStyle(GWL_STYLE, WS_BORDER, on);
    if (hwnd_)
        SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return *this;
}

CStaticEx& CStaticEx::setText(const char* text) {
    ui::Static::setText(text);
    return *this;
}

// Stopping either blink puts the control back as it was: the text a text
// blink may have blanked comes back, and the background is the control's own
// again (a background blink stopped in its first phase would otherwise keep
// the alternate brush for good).
void CStaticEx::stopBlinking() {
    if (!timerRunning_) return;
    if (hwnd_) ui::killTimer(hwnd_, kBlinkTimer);
    timerRunning_ = false;
    if (blinkMode_ == kBlinkText) ui::Static::setText(saved_.c_str());
    blinkMode_ = kNoBlink;
    phase_ = false;
    redraw();
}

void CStaticEx::startBlinking(int mode) {
    phase_ = false;
    timerRunning_ = true;
    if (hwnd_) ui::setTimer(hwnd_, kBlinkTimer, kBlinkPeriod);
    blinkMode_ = mode;
}

CStaticEx& CStaticEx::setBlinkText(bool on) {
    stopBlinking();
    if (on) {
        saved_ = text();
        startBlinking(kBlinkText);
    }
    return *this;
}

CStaticEx& CStaticEx::setBlinkBackground(bool on) {
    stopBlinking();
    if (on) {
        startBlinking(kBlinkBackground);
        redraw();
    }
    return *this;
}

CStaticEx& CStaticEx::setClickToOpen(bool on) {
    clickToOpen_ = on;
    changeStyle(GWL_STYLE, SS_NOTIFY, on);
    return *this;
}

CStaticEx& CStaticEx::setHoverCursor(HCURSOR cursor) {
    hover_ = cursor;
    return *this;
}

HBRUSH CStaticEx::reflectCtlColor(HDC dc, UINT kind) {
    if (kind == CTLCOLOR_STATIC) {
        SelectObject(dc, font_);
        SetTextColor(dc, text_);
        SetBkMode(dc, TRANSPARENT);
    }
    return (blinkMode_ == kBlinkBackground && !phase_) ? alternate_ : background_;
}

LRESULT CStaticEx::windowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam != kBlinkTimer) break;
        phase_ = !phase_;
        if (blinkMode_ == kBlinkText) {
            ui::Static::setText(phase_ ? "" : saved_.c_str());
        } else if (blinkMode_ == kBlinkBackground) {
            InvalidateRect(hwnd_, nullptr, FALSE);
            UpdateWindow(hwnd_);
        }
        break;
    case WM_LBUTTONDOWN: {
        // While a text blink has blanked the control, its text is the saved one.
        std::string target = (blinkMode_ == kBlinkText && phase_) ? saved_ : text();
        os::sys().ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        break;
    }
    case WM_SETCURSOR:
        if (hover_) {
            SetCursor(hover_);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return defaultProc(message, wParam, lParam);
}
