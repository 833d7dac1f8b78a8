// Stopping, starting and awaiting the Spooler service around the
// replacement of files it holds, and the offer to restart Windows.
#pragma once

#include <string>

#include "os/WinApi.h"

namespace install {

void StopSpooler();
// A failed start (other than "already running") is written into `errorText`.
void StartSpooler(std::string& errorText);
// Polls up to 10 times, 300 ms apart, for the running state; returns the last
// state read (1 when none could be read) and, when it is not running, writes
// "StartSpoolService error" into `installMessage`.
DWORD WaitSpoolerRunning(std::string& installMessage);
// Asks whether to restart Windows and asks Windows to; a refused request
// writes its text into `installMessage`.
void RestartWindows(std::string& installMessage);

}  // namespace install
