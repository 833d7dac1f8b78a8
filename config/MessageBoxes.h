// The two kinds of message box the program shows. Both reach Windows
// through the system layer, so tests can answer them.
#pragma once

#include <string>

#include "os/Os.h"

namespace app {

// The application's name: the program file's name without its directory
// and extension ("setup" for setup.exe). It names the instance mutex and
// captions the message boxes.
std::string applicationName();

// Who owns application message boxes while the wizard runs: the window layer
// names the window (none before and after it).
using OwnerLookup = HWND (*)();
void setApplicationBoxOwner(OwnerLookup owner);

// Sees every box before it is shown, with its text and type (MB_OK or
// MB_YESNO): returns the answer itself, and the box is not shown, or 0 to
// let it be shown. An unattended installation answers them all; the wizard
// with a log notes them.
using MessageBoxHandler = int (*)(const std::string& text, UINT type);
void setMessageBoxHandler(MessageBoxHandler handler);

// An application-modal box captioned with the application's name, with OK
// or Yes and No; without an icon of its own, OK boxes get the exclamation
// mark and Yes/No boxes the question mark. Returns the button pressed.
int applicationMessageBox(const std::string& text, UINT type = MB_OK);
// A box owned by a window of the wizard, with an OK button and no caption
// of its own: the application's name stands there, as in the framework the
// wizard was designed on (a null caption would read "Error").
int wizardMessageBox(HWND owner, const std::string& text);

}  // namespace app
