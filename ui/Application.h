// What the framework keeps for the whole program: its name, its main window,
// and the two kinds of message box the system shows. Both boxes go through
// os::sys().MessageBoxA, so the simulated Windows can see and answer them.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class Window;

// The program file's name without directory and extension ("setup" for
// ...\setup.exe), as os::sys().GetModuleFileNameA reports the program.
std::string applicationName();

// The wizard's window object; its window is the owner of application message
// boxes and of modal runs that name no owner.
void setMainWindow(Window* window);
HWND mainWindow();

// The application message box: modal to the application, captioned with the
// application's name, owned by the main window (its last active popup) when
// there is one. Without an icon in `type`, OK boxes get the exclamation mark
// and Yes/No boxes the question mark. Returns the button chosen.
int appMessageBox(const char* text, UINT type = MB_OK);

// The wizard message box: owned by a window, OK button, no caption of its
// own. Windows would caption a box without one "Error"; like the framework
// it replaces, it is captioned with the application's name instead.
int wizardMessageBox(HWND owner, const char* text);

}  // namespace ui
