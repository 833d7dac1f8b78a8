#include "ui/Dialog.h"

#include <cstring>
#include <string>

#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/Timer.h"

namespace ui {
namespace {

// Resource type of a template's list items (the classic "DLGINIT" layout:
// control id, message, length, text; a zero id ends it).
const WORD kDialogInitType = 240;
// The 16-bit message numbers that layout keeps.
const WORD kOldListAddString = 0x0401;
const WORD kOldComboAddString = 0x0403;

bool isInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

}  // namespace

Dialog::Dialog(UINT templateId) : templateId_(templateId) {}

Dialog::~Dialog() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    forget();
}

HWND Dialog::createWindow(HWND parent) {
    initCommonControls();
    HINSTANCE module = resourceModule();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(templateId_), MAKEINTRESOURCEW(5));  // RT_DIALOG
    if (found == nullptr) return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    const void* resource = loaded ? LockResource(loaded) : nullptr;
    if (resource == nullptr) return nullptr;
    // Created with the wide function so that the templates' texts keep their
    // UTF-16 form whatever the ANSI code page is.
    return CreateDialogIndirectParamW(module, static_cast<LPCDLGTEMPLATEW>(resource), parent,
                                      &Dialog::dialogProc, reinterpret_cast<LPARAM>(this));
}

bool Dialog::create(HWND parent) {
    if (hwnd_) return false;
    return createWindow(parent) != nullptr;
}

INT_PTR Dialog::doModal(HWND owner) {
    if (hwnd_) return -1;
    if (owner == nullptr) owner = mainWindow();
    if (owner) owner = rootWindow(owner);
    bool reenableOwner = false;
    if (owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        reenableOwner = true;
    }
    continueModal_ = true;
    result_ = -1;
    HWND window = createWindow(owner);
    // The initialisation may already have ended the dialog.
    if (window && continueModal_ && hwnd_) {
        ShowWindow(window, SW_SHOWNORMAL);
        while (continueModal_) {
            MSG message;
            BOOL got = GetMessageW(&message, nullptr, 0, 0);
            if (got == -1) {
                result_ = -1;
                break;
            }
            if (got == 0) {
                // Leave the quit request for the loop outside ours.
                PostQuitMessage(static_cast<int>(message.wParam));
                result_ = -1;
                break;
            }
            if (!preTranslate(message, hwnd_)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    continueModal_ = false;
    // Hide before enabling the owner, so that activation goes back to it.
    if (hwnd_)
        SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (reenableOwner) EnableWindow(owner, TRUE);
    if (owner && hwnd_ && GetActiveWindow() == hwnd_) SetActiveWindow(owner);
    if (hwnd_) destroyWindow();
    return window ? result_ : -1;
}

void Dialog::endDialog(INT_PTR result) {
    result_ = result;
    if (continueModal_) {
        continueModal_ = false;
        // Wake the loop should it be waiting for a message.
        if (hwnd_) PostMessageW(hwnd_, WM_NULL, 0, 0);
    } else if (hwnd_) {
        ShowWindow(hwnd_, SW_HIDE);
    }
}

bool Dialog::destroyWindow() {
    if (!hwnd_) return false;
    return DestroyWindow(hwnd_) != FALSE;
}

bool Dialog::updateData(bool save) {
    if (!hwnd_) return false;
    DataExchange exchange(*this, save);
    doDataExchange(exchange);
    return !exchange.failed();
}

bool Dialog::setItemText(int id, const char* text) const {
    return SetDlgItemTextA(hwnd_, id, text ? text : "") != FALSE;
}

bool Dialog::enableItem(int id, bool on) const {
    HWND control = item(id);
    if (!control) return false;
    EnableWindow(control, on ? TRUE : FALSE);
    return true;
}

bool Dialog::showItem(int id, bool show) const {
    HWND control = item(id);
    if (!control) return false;
    ShowWindow(control, show ? SW_SHOW : SW_HIDE);
    return true;
}

bool Dialog::checkRadio(int firstId, int lastId, int checkId) const {
    return CheckRadioButton(hwnd_, firstId, lastId, checkId) != FALSE;
}

int Dialog::messageBox(const char* text) const { return wizardMessageBox(hwnd_, text); }

UINT_PTR Dialog::setTimer(UINT_PTR id, UINT milliseconds) const { return ui::setTimer(hwnd_, id, milliseconds); }

bool Dialog::killTimer(UINT_PTR id) const { return ui::killTimer(hwnd_, id); }

bool Dialog::preTranslateMessage(MSG& message) {
    if (!hwnd_ || !isInput(message.message)) return false;
    return IsDialogMessageW(hwnd_, &message) != FALSE;
}

bool Page::preTranslateMessage(MSG& message) {
    if (!hwnd_) return false;
    // Tab goes round the parent's controls and the page's as one. A
    // multi-line text takes Tab itself and would move on within its page
    // only, wrapping there, so the parent moves the focus for every control.
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB && !(GetKeyState(VK_CONTROL) & 0x8000)) {
        HWND parent = GetParent(hwnd_);
        if (parent == nullptr) return Dialog::preTranslateMessage(message);
        SendMessageW(parent, WM_NEXTDLGCTL, (GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0, 0);
        return true;
    }
    const bool key = message.message == WM_KEYDOWN || message.message == WM_CHAR;
    const bool enterOrEscape = message.message == WM_KEYDOWN
                                   ? message.wParam == VK_RETURN || message.wParam == VK_ESCAPE
                                   : message.wParam == '\r' || message.wParam == 0x1B;
    if (!key || !enterOrEscape) return Dialog::preTranslateMessage(message);
    // A control that takes the key itself (an open drop-down list) keeps it.
    LRESULT wants = SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message));
    if (wants & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
    // As the dialog manager would tell the page itself, which does nothing.
    if (message.message == WM_KEYDOWN) {
        const int id = message.wParam == VK_RETURN ? IDOK : IDCANCEL;
        SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }
    return true;
}

BOOL Dialog::onInitDialog() {
    updateData(false);
    return TRUE;
}

void Dialog::doDataExchange(DataExchange&) {}

bool Dialog::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == IDOK) {
        onOK();
        return true;
    }
    if (id == IDCANCEL) {
        onCancel();
        return true;
    }
    return false;
}

void Dialog::onOK() {
    if (!updateData(true)) return;
    endDialog(IDOK);
}

void Dialog::onCancel() { endDialog(IDCANCEL); }

void Dialog::onShowWindow(bool, UINT) {}

void Dialog::onTimer(UINT_PTR) {}

bool Dialog::onPaint() { return false; }

bool Dialog::onSysCommand(UINT, LPARAM) { return false; }

bool Dialog::onHelp(HELPINFO*) { return false; }

HBRUSH Dialog::onCtlColor(HDC, HWND, UINT) { return nullptr; }

HICON Dialog::onQueryDragIcon() { return nullptr; }

void Dialog::onDestroy() {}

bool Dialog::onMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

void Dialog::fillTemplateLists() {
    HINSTANCE module = resourceModule();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(templateId_), MAKEINTRESOURCEW(kDialogInitType));
    if (found == nullptr) return;
    HGLOBAL loaded = LoadResource(module, found);
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (data == nullptr) return;
    const BYTE* end = data + SizeofResource(module, found);
    // Every field is checked against the end: a damaged resource stops the
    // filling, it never reads past the resource.
    while (end - data >= 2) {
        WORD id;
        std::memcpy(&id, data, 2);
        data += 2;
        if (id == 0) break;
        if (end - data < 6) break;
        WORD message;
        DWORD length;
        std::memcpy(&message, data, 2);
        std::memcpy(&length, data + 2, 4);
        data += 6;
        if (length > static_cast<DWORD>(end - data)) break;
        std::string text(reinterpret_cast<const char*>(data),
                         strnlen(reinterpret_cast<const char*>(data), length));
        data += length;
        UINT add = message == kOldComboAddString ? CB_ADDSTRING
                   : message == kOldListAddString ? LB_ADDSTRING
                                                  : 0;
        HWND control = item(id);
        if (add && control) SendMessageA(control, add, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

INT_PTR CALLBACK Dialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->attach(window);
    } else {
        self = dynamic_cast<Dialog*>(Window::fromHandle(window));
        if (self == nullptr) return FALSE;
    }
    return self->handle(message, wParam, lParam);
}

INT_PTR Dialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = 0;
    if (onMessage(message, wParam, lParam, result)) return result;
    switch (message) {
    case WM_INITDIALOG:
        fillTemplateLists();
        return onInitDialog();
    case WM_COMMAND:
        return onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    case WM_SHOWWINDOW:
        onShowWindow(wParam != FALSE, static_cast<UINT>(lParam));
        return FALSE;
    case WM_TIMER:
        onTimer(wParam);
        return TRUE;
    case WM_PAINT:
        return onPaint() ? TRUE : FALSE;
    case WM_SYSCOMMAND:
        return onSysCommand(static_cast<UINT>(wParam), lParam) ? TRUE : FALSE;
    case WM_HELP:
        if (!onHelp(reinterpret_cast<HELPINFO*>(lParam))) return FALSE;
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        HWND control = reinterpret_cast<HWND>(lParam);
        UINT kind = message - WM_CTLCOLORMSGBOX;
        HBRUSH brush = nullptr;
        Window* bound = Window::fromHandle(control);
        if (bound && bound != this) brush = bound->reflectCtlColor(dc, kind);
        if (brush == nullptr) brush = onCtlColor(dc, control, kind);
        // A brush is this message's result itself; null asks for the default.
        return reinterpret_cast<INT_PTR>(brush);
    }
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(onQueryDragIcon());
    case WM_DESTROY:
        onDestroy();
        return FALSE;
    case WM_NCDESTROY:
        continueModal_ = false;
        forget();
        return FALSE;
    default:
        return FALSE;
    }
}

void applyFont(HWND dialog, HFONT font) {
    if (dialog == nullptr || font == nullptr) return;
    SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void pumpMessages(HWND root) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!preTranslate(message, root)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

}  // namespace ui
