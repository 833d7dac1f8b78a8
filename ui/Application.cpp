#include "ui/Application.h"

#include "app/MessageBoxes.h"
#include "ui/Window.h"

namespace ui {
namespace {

Window* mainWindowObject = nullptr;

// Application boxes belong to the main window's last active popup, so a box
// raised over a modal dialog of the wizard stays above it.
HWND applicationBoxOwner() {
    HWND owner = mainWindow();
    return owner ? GetLastActivePopup(rootWindow(owner)) : nullptr;
}

}  // namespace

std::string applicationName() { return app::applicationName(); }

void setMainWindow(Window* window) {
    mainWindowObject = window;
    app::setApplicationBoxOwner(&applicationBoxOwner);
}

HWND mainWindow() {
    HWND window = mainWindowObject ? mainWindowObject->hwnd() : nullptr;
    return window && IsWindow(window) ? window : nullptr;
}

int appMessageBox(const char* text, UINT type) {
    return app::applicationMessageBox(text ? text : "", type);
}

int wizardMessageBox(HWND owner, const char* text) {
    return app::wizardMessageBox(owner, text ? text : "");
}

}  // namespace ui
