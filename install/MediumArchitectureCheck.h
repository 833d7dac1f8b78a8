// The medium's program files against the machine they are installed for.
// A 64-bit spooler loads only 64-bit monitors, processors and driver DLLs:
// a 32-bit build copied from the medium is registered without complaint and
// fails only when the spooler loads it (193), after the machine has been
// changed; Wine never checks it at all. So before anything is changed, every
// program file an installation copies from the medium is looked for in the
// folder it is taken from and its PE header read.
#pragma once

#include <string>
#include <vector>

#include "config/ShownText.h"
#include "install/InstallJob.h"
#include "os/RunningSystem.h"

namespace install {

// What the medium's copy of a program file is.
enum class MediumBuild {
    Fits,          // a PE image for the architecture of its folder
    Missing,       // not in its folder
    OtherMachine,  // a PE image for another processor
    NotAProgram,   // no PE header
    Unreadable,    // there, but it cannot be opened or read
};

struct MediumFileCheck {
    MediumBuild build = MediumBuild::Fits;
    std::string path;   // FOLDER\NAME, as the medium holds it
    WORD expected = 0;  // the IMAGE_FILE_MACHINE_* it was checked against
    WORD machine = 0;   // OtherMachine: the header's IMAGE_FILE_MACHINE_*
    DWORD error = 0;   // Unreadable: the system's code
};

// The program file `name` as a copy for `architecture` takes it
// (mediumFolderOf), checked against its folder: AMD64 in X64, i386 in W32.
// Reads the file's header through the system and changes nothing.
MediumFileCheck checkMediumProgramFile(const std::string& name, os::Architecture architecture);

// The program at `source`, shown as `shownPath`, checked to be a PE image
// for `machine` (IMAGE_FILE_MACHINE_*).
MediumFileCheck checkProgramImage(const std::string& source, const std::string& shownPath, WORD machine);

// What is wrong with a checked file, for a message: "USBDrv\X64\Install.exe
// is built for x86, not for x64"; empty when it fits. Worded for a box by
// default, or in English for a log.
std::string describeMismatch(const MediumFileCheck& check, app::Voice say = app::shownText);

// The program files the installation of `job` copies from the medium: the
// driver's files of the chosen flavour, the print processor, and the
// monitors of the chosen port kind (the serial one for a COM port, the USB
// one and the language monitor for a USB port), without those Windows
// supplies (its own components, the Unidrv files from its stores). Each
// name once, in the order the records give them.
std::vector<std::string> mediumProgramFiles(InstallJob& job);

// Empty when every one of `files` is in its folder and built for
// `architecture`; otherwise the refusal for the model `model`, naming each
// file missing or wrong.
std::string mediumArchitectureRefusal(const std::string& model, const std::vector<std::string>& files,
                                      os::Architecture architecture, app::Voice say = app::shownText);

}  // namespace install
