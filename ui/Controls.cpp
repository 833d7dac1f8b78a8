#include "ui/Controls.h"

#include <cstring>
#include <vector>

#include "os/win32/CommonControls.h"

namespace ui {
namespace {

HINSTANCE resources = nullptr;

// Without the version 6 controls, comctl32 refuses the larger TOOLINFO that
// the headers declare for XP and later; this size is accepted by every version.
TTTOOLINFOW toolInfo(HWND tool, const wchar_t* text) {
    TTTOOLINFOW info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<wchar_t*>(text);
    return info;
}

}  // namespace

HINSTANCE resourceModule() { return resources ? resources : GetModuleHandleW(nullptr); }

void setResourceModule(HINSTANCE module) { resources = module; }

void initCommonControls() {
    // Registers the progress bar and tooltip classes (version 6 registers
    // every class as it loads). InitCommonControlsEx would need version 4.70,
    // which Windows NT 4.0 does not always have.
    typedef void(WINAPI * Proc)();
    static const Proc initialise =
        reinterpret_cast<Proc>(GetProcAddress(os::loadCommonControls(), "InitCommonControls"));
    if (initialise) initialise();
}

std::wstring loadString(UINT id) {
    const wchar_t* text = nullptr;
    // With a zero length LoadStringW hands out a pointer to the resource itself.
    int length = LoadStringW(resourceModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return std::wstring();
    return std::wstring(text, static_cast<size_t>(length));
}

int Button::checkState() const {
    return static_cast<int>(SendMessageW(hwnd_, BM_GETCHECK, 0, 0));
}

void Button::setCheck(int state) const { SendMessageW(hwnd_, BM_SETCHECK, static_cast<WPARAM>(state), 0); }

void Button::click() const { SendMessageW(hwnd_, BM_CLICK, 0, 0); }

int ComboBox::addString(const char* text) const {
    return static_cast<int>(SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int ComboBox::insertString(int index, const char* text) const {
    return static_cast<int>(
        SendMessageA(hwnd_, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
}

int ComboBox::deleteString(int index) const {
    return static_cast<int>(SendMessageA(hwnd_, CB_DELETESTRING, static_cast<WPARAM>(index), 0));
}

void ComboBox::resetContent() const { SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0); }

int ComboBox::count() const { return static_cast<int>(SendMessageA(hwnd_, CB_GETCOUNT, 0, 0)); }

int ComboBox::currentSelection() const { return static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0)); }

int ComboBox::setCurrentSelection(int index) const {
    return static_cast<int>(SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0));
}

int ComboBox::findString(int start, const char* prefix) const {
    return static_cast<int>(
        SendMessageA(hwnd_, CB_FINDSTRING, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(prefix)));
}

int ComboBox::findStringExact(int start, const char* text) const {
    return static_cast<int>(
        SendMessageA(hwnd_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text)));
}

int ComboBox::selectString(int start, const char* prefix) const {
    return static_cast<int>(
        SendMessageA(hwnd_, CB_SELECTSTRING, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(prefix)));
}

std::string ComboBox::itemText(int index) const {
    int length = static_cast<int>(SendMessageA(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0));
    if (length == CB_ERR || length < 0) return std::string();
    // The length asked for may be larger than the text (double-byte code pages).
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    int copied = static_cast<int>(
        SendMessageA(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data())));
    if (copied == CB_ERR || copied < 0) return std::string();
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

std::wstring ComboBox::itemTextW(int index) const {
    int length = static_cast<int>(SendMessageW(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0));
    if (length == CB_ERR || length < 0) return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    int copied = static_cast<int>(
        SendMessageW(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data())));
    if (copied == CB_ERR || copied < 0) return std::wstring();
    return std::wstring(buffer.data(), wcsnlen(buffer.data(), buffer.size()));
}

bool ComboBox::itemText(int index, char* buffer, size_t size) const {
    if (buffer == nullptr || size == 0) return false;
    buffer[0] = '\0';
    int length = static_cast<int>(SendMessageA(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0));
    if (length == CB_ERR || length < 0) return false;
    std::string text = itemText(index);
    if (text.size() + 1 > size) return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

std::string ComboBox::selectedText() const {
    int selection = currentSelection();
    return selection == CB_ERR ? std::string() : itemText(selection);
}

void Edit::setReadOnly(bool on) const { SendMessageW(hwnd_, EM_SETREADONLY, on ? TRUE : FALSE, 0); }

bool Edit::isReadOnly() const { return (GetWindowLongW(hwnd_, GWL_STYLE) & ES_READONLY) != 0; }

void Edit::limitText(int characters) const { SendMessageW(hwnd_, EM_LIMITTEXT, static_cast<WPARAM>(characters), 0); }

void Edit::setSelection(int start, int end) const {
    SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

HICON Static::setIcon(HICON icon) const {
    return reinterpret_cast<HICON>(SendMessageW(hwnd_, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0));
}

HBITMAP Static::setBitmap(HBITMAP bitmap) const {
    return reinterpret_cast<HBITMAP>(
        SendMessageW(hwnd_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}

void ProgressBar::setRange(int low, int high) const {
    SendMessageW(hwnd_, PBM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
}

int ProgressBar::setPosition(int position) const {
    return static_cast<int>(SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(position), 0));
}

int ProgressBar::position() const { return static_cast<int>(SendMessageW(hwnd_, PBM_GETPOS, 0, 0)); }

int ProgressBar::lower() const { return static_cast<int>(SendMessageW(hwnd_, PBM_GETRANGE, TRUE, 0)); }

int ProgressBar::upper() const { return static_cast<int>(SendMessageW(hwnd_, PBM_GETRANGE, FALSE, 0)); }

ToolTip::~ToolTip() { destroy(); }

bool ToolTip::create(HWND parent) {
    destroy();
    initCommonControls();
    HWND window = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent,
                                  nullptr, resourceModule(), nullptr);
    if (window == nullptr) return false;
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return attach(window);
}

void ToolTip::destroy() {
    HWND window = hwnd_;
    detach();
    if (window && IsWindow(window)) DestroyWindow(window);
}

void ToolTip::activate(bool on) const { SendMessageW(hwnd_, TTM_ACTIVATE, on ? TRUE : FALSE, 0); }

int ToolTip::setMaxTipWidth(int pixels) const {
    return static_cast<int>(SendMessageW(hwnd_, TTM_SETMAXTIPWIDTH, 0, pixels));
}

bool ToolTip::addTool(HWND tool, const wchar_t* text) const {
    if (hwnd_ == nullptr || tool == nullptr) return false;
    TTTOOLINFOW info = toolInfo(tool, text);
    return SendMessageW(hwnd_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

bool ToolTip::addTool(HWND tool, UINT stringId) const {
    std::wstring text = loadString(stringId);
    return addTool(tool, text.c_str());
}

void ToolTip::relayEvent(const MSG& message) const {
    if (hwnd_) SendMessageW(hwnd_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
}

int ToolTip::toolCount() const { return static_cast<int>(SendMessageW(hwnd_, TTM_GETTOOLCOUNT, 0, 0)); }

std::wstring ToolTip::toolText(HWND tool) const {
    // Older comctl32 copies without a size: give it the longest tip it keeps.
    std::vector<wchar_t> buffer(1024, L'\0');
    TTTOOLINFOW info = toolInfo(tool, buffer.data());
    SendMessageW(hwnd_, TTM_GETTEXTW, buffer.size() - 1, reinterpret_cast<LPARAM>(&info));
    return std::wstring(buffer.data(), wcsnlen(buffer.data(), buffer.size()));
}

}  // namespace ui
