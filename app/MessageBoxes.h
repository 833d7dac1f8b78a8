// The two kinds of message box the program shows. Both reach Windows
// through the system layer, so tests can answer them.
#pragma once

#include <string>

#include "os/Os.h"

namespace app {

// The application's name: the program file's name without its directory
// and extension ("setup" for setup.exe). It names the instance mutex and
// captions the application message boxes.
std::string applicationName();

// The window that application message boxes belong to while the wizard
// runs (none before and after).
void setMainWindow(HWND window);
HWND mainWindow();

// An application-modal box captioned with the application's name, with OK
// or Yes and No; returns the button pressed.
int applicationMessageBox(const std::string& text, UINT buttons = MB_OK);
// A box owned by a window of the wizard, with an OK button and no caption
// of its own (the application's name stands there, as in the framework the
// wizard was designed on; a null caption would read "Error").
int wizardMessageBox(HWND owner, const std::string& text);

}  // namespace app
