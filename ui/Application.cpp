#include "ui/Application.h"

#include "ui/Window.h"

namespace ui {
namespace {

Window* mainWindowObject = nullptr;
MessageBoxes boxes = {nullptr, nullptr};

}  // namespace

void setMainWindow(Window* window) { mainWindowObject = window; }

HWND mainWindow() {
    HWND window = mainWindowObject ? mainWindowObject->hwnd() : nullptr;
    return window && IsWindow(window) ? window : nullptr;
}

HWND applicationBoxOwner() {
    HWND owner = mainWindow();
    return owner ? GetLastActivePopup(rootWindow(owner)) : nullptr;
}

void setMessageBoxes(const MessageBoxes& given) { boxes = given; }

int appMessageBox(const char* text, UINT type) {
    if (boxes.application) return boxes.application(text ? text : "", type);
    return MessageBoxA(applicationBoxOwner(), text ? text : "", nullptr, type | MB_APPLMODAL);
}

int wizardMessageBox(HWND owner, const char* text) {
    if (boxes.wizard) return boxes.wizard(owner, text ? text : "");
    return MessageBoxA(owner, text ? text : "", nullptr, MB_OK);
}

}  // namespace ui
