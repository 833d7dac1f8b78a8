// The texts the program words itself, each with its key in section
// "Message" of the language file and its English where the file has none.
// Placeholders: %1, %2, ... as each text's comment names them.
#pragma once

#include <vector>

#include "config/ShownText.h"

namespace app {

extern const Wording kProcessorRefused;         // %1 the processor (ARM64)
extern const Wording kUnknownProcessorRefused;
extern const Wording kEarly64BitRefused;
extern const Wording kProtectedPrintRefused;
extern const Wording kMediumLacks64BitBuilds;   // %1 the model, %2 what is wrong
extern const Wording kMediumLacksBuildsFor;     // log only: %1 model, %2 what is wrong, %3 processor
extern const Wording kFolderLacks;              // %1 the folder, %2 the files
extern const Wording kFileMissing;              // %1 the file
extern const Wording kFileBuiltForOther;        // %1 the file, %2 its processor, %3 the one needed
extern const Wording kFileNoProgram;            // %1 the file
extern const Wording kFileUnreadable;           // %1 the file, %2 the system error code
extern const Wording kUsbDriver64Incomplete;    // %1 what is wrong
extern const Wording kFilesMissing;             // %1 the files
extern const Wording kRenumberOnOwnPort;        // %1 its number, %2 its port, %3 the port chosen
extern const Wording kRenumberInAdvancedMode;   // %1 its number, %2 its port
extern const Wording kRenumberOtherPrinter;     // %1 its number, %2 the port chosen, %3 the number it needs
extern const Wording kUsbInstallerNotStarted;   // %1 the installer's path, %2 the error code
extern const Wording kUsbInstallerNotEnded;     // log only: %1 the installer's path, %2 seconds
extern const Wording kUsbDriverKept;            // %1 why the installer did not run
extern const Wording kInvalidCommandLine;       // %1 the reason, in English

// Every wording that has a key.
const std::vector<const Wording*>& keyedWordings();

}  // namespace app
