// What the framework keeps for the whole program: its main window, and the
// two kinds of message box the system shows. The boxes themselves are the
// application's (they are worded, captioned and shown through the system
// layer there); it hands them to the framework with setMessageBoxes, so
// that the framework depends on nothing above it.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class Window;

// The wizard's window object; its window is the owner of application message
// boxes and of modal runs that name no owner.
void setMainWindow(Window* window);
HWND mainWindow();
// Where application boxes belong: the main window's last active popup, so
// that a box raised over a modal dialog of the wizard stays above it; null
// without a main window.
HWND applicationBoxOwner();

// The two boxes as the application shows them.
struct MessageBoxes {
    // Modal to the application, with OK or Yes and No; the button chosen.
    int (*application)(const std::string& text, UINT type);
    // Owned by a window of the wizard, OK only.
    int (*wizard)(HWND owner, const std::string& text);
};
void setMessageBoxes(const MessageBoxes& boxes);

// The application message box; until the application has given its boxes,
// a plain system box with OK.
int appMessageBox(const char* text, UINT type = MB_OK);
// The wizard message box, owned by `owner`.
int wizardMessageBox(HWND owner, const char* text);

}  // namespace ui
