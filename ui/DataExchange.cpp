#include "ui/DataExchange.h"

#include <cstring>
#include <vector>

#include "ui/Dialog.h"

namespace ui {
namespace {

bool isDropDownList(HWND combo) {
    return (GetWindowLongW(combo, GWL_STYLE) & 0x3) == CBS_DROPDOWNLIST;
}

bool isRadioButton(HWND control) {
    return (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}

std::string windowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

std::string itemText(HWND combo, int index) {
    int length = static_cast<int>(SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0));
    if (length == CB_ERR || length < 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    if (SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(buffer.data())) == CB_ERR)
        return std::string();
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

// Copies text into a fixed buffer; false, with the buffer emptied, when it
// does not fit.
bool copyOut(const std::string& text, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return false;
    if (text.size() + 1 > size) {
        buffer[0] = '\0';
        return false;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

}  // namespace

void DataExchange::fail(int id) {
    if (failed_) return;
    failed_ = true;
    failedId_ = id;
    HWND control = GetDlgItem(dialog_.hwnd(), id);
    if (control && IsWindowVisible(control)) SetFocus(control);
}

HWND DataExchange::prepare(int id) {
    if (failed_) return nullptr;
    HWND control = GetDlgItem(dialog_.hwnd(), id);
    if (control == nullptr) fail(id);
    return control;
}

void DataExchange::control(int id, Window& object) {
    HWND control = prepare(id);
    if (!control || object.hwnd() == control) return;
    if (!object.attach(control)) fail(id);
}

void DataExchange::check(int id, BOOL& value) {
    HWND control = prepare(id);
    if (!control) return;
    if (save_) {
        value = static_cast<BOOL>(SendMessageW(control, BM_GETCHECK, 0, 0));
    } else {
        WPARAM state = (value >= BST_UNCHECKED && value <= BST_INDETERMINATE) ? value : BST_UNCHECKED;
        SendMessageW(control, BM_SETCHECK, state, 0);
    }
}

void DataExchange::radio(int firstId, int& value) {
    HWND first = prepare(firstId);
    if (!first) return;
    if (!isRadioButton(first) || !(GetWindowLongW(first, GWL_STYLE) & WS_GROUP)) {
        fail(firstId);
        return;
    }
    // The group runs from its first button to the next control that starts a group.
    std::vector<HWND> buttons;
    HWND control = first;
    do {
        if (isRadioButton(control)) buttons.push_back(control);
        control = GetWindow(control, GW_HWNDNEXT);
    } while (control && !(GetWindowLongW(control, GWL_STYLE) & WS_GROUP));

    if (save_) {
        value = -1;
        for (size_t i = 0; i < buttons.size(); ++i)
            if (SendMessageW(buttons[i], BM_GETCHECK, 0, 0) != BST_UNCHECKED) value = static_cast<int>(i);
        return;
    }
    if (value < -1 || value >= static_cast<int>(buttons.size())) {
        fail(firstId);
        return;
    }
    for (size_t i = 0; i < buttons.size(); ++i)
        SendMessageW(buttons[i], BM_SETCHECK, static_cast<int>(i) == value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DataExchange::comboIndex(int id, int& index) {
    HWND combo = prepare(id);
    if (!combo) return;
    if (save_) {
        LRESULT selection = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        index = selection == CB_ERR ? -1 : static_cast<int>(selection);
        return;
    }
    LRESULT result = SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (index != -1 && result == CB_ERR) fail(id);
}

std::string DataExchange::comboTextOf(HWND combo) const {
    if (!isDropDownList(combo)) return windowText(combo);
    LRESULT selection = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return selection == CB_ERR ? std::string() : itemText(combo, static_cast<int>(selection));
}

void DataExchange::selectComboText(HWND combo, const std::string& text) const {
    // An exact match first: a prefix search alone would pick "Model AB" for
    // "Model A" when it comes first in the list.
    LRESULT index = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(text.c_str()));
    if (index == CB_ERR && !text.empty())
        index = SendMessageA(combo, CB_FINDSTRING, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(text.c_str()));
    if (index != CB_ERR) {
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    } else if (isDropDownList(combo)) {
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    } else {
        SetWindowTextA(combo, text.c_str());
    }
}

void DataExchange::comboText(int id, char* buffer, size_t size) {
    HWND combo = prepare(id);
    if (!combo) return;
    if (save_) {
        if (!copyOut(comboTextOf(combo), buffer, size)) fail(id);
    } else {
        selectComboText(combo, buffer ? std::string(buffer, strnlen(buffer, size)) : std::string());
    }
}

void DataExchange::comboText(int id, std::string& text) {
    HWND combo = prepare(id);
    if (!combo) return;
    if (save_)
        text = comboTextOf(combo);
    else
        selectComboText(combo, text);
}

void DataExchange::text(int id, char* buffer, size_t size) {
    HWND control = prepare(id);
    if (!control) return;
    if (save_) {
        if (!copyOut(windowText(control), buffer, size)) fail(id);
    } else {
        std::string value = buffer ? std::string(buffer, strnlen(buffer, size)) : std::string();
        SetWindowTextA(control, value.c_str());
    }
}

void DataExchange::text(int id, std::string& value) {
    HWND control = prepare(id);
    if (!control) return;
    if (save_)
        value = windowText(control);
    else
        SetWindowTextA(control, value.c_str());
}

}  // namespace ui
