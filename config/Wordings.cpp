#include "config/Wordings.h"

namespace app {

const Wording kProcessorRefused = {
    "IDS_ERR_PROCESSOR",
    "This setup cannot install on Windows for %1 processors: its printer drivers, port monitors and print "
    "processor are built for x86 and x64 Windows only."};
const Wording kUnknownProcessorRefused = {
    "IDS_ERR_UNKNOWNPROCESSOR",
    "This setup cannot install on Windows for unknown processors: its printer drivers, port monitors and print "
    "processor are built for x86 and x64 Windows only."};
const Wording kEarly64BitRefused = {
    "IDS_ERR_EARLYX64",
    "This setup installs on 64-bit Windows from Windows 7 and Windows Server 2008 R2 on. It cannot install on "
    "the 64-bit editions of Windows XP, Server 2003, Vista and Server 2008."};
const Wording kProtectedPrintRefused = {
    "IDS_ERR_PROTECTEDPRINT",
    "Windows protected print mode is on: Windows takes no printer driver but its own, so this printer cannot be "
    "installed. An administrator can turn the mode off in Settings (Bluetooth & devices, Printers & scanners) or "
    "in its group policy, and then run the setup again."};
const Wording kMediumLacks64BitBuilds = {"IDS_ERR_X64FILES",
                                         "%1 cannot be installed on 64-bit Windows from this medium; %2."};
const Wording kMediumLacksBuildsFor = {nullptr, "%1 cannot be installed for %3 from this medium; %2."};
const Wording kFolderLacks = {"IDS_ERR_FOLDERLACKS", "its %1 folder lacks %2"};
const Wording kFileMissing = {"IDS_ERR_FILEMISSING", "%1 is missing"};
const Wording kFileBuiltForOther = {"IDS_ERR_FILEMACHINE", "%1 is built for %2, not for %3"};
const Wording kFileNoProgram = {"IDS_ERR_FILENOTPROGRAM", "%1 is not a program file"};
const Wording kFileUnreadable = {"IDS_ERR_FILEUNREADABLE", "%1 cannot be read (error %2)"};
const Wording kUsbDriver64Incomplete = {
    "IDS_ERR_X64USBDRIVER",
    "This disc cannot install a USB printer on 64-bit Windows: its USB class driver for 64-bit Windows is "
    "incomplete. %1.\r\n\r\nChoose a parallel or serial port, or use a disc that holds the 64-bit USB class "
    "driver."};
const Wording kFilesMissing = {"IDS_ERR_MISSINGFILES", "Missing: %1"};
const Wording kRenumberOnOwnPort = {
    "IDS_ERR_USBID_OWNPORT",
    "This disc cannot give the USB printer a new port number. The printer carries number %1: choose its port, "
    "%2, instead of %3."};
const Wording kRenumberInAdvancedMode = {
    "IDS_ERR_USBID_ADVANCED",
    "This disc cannot give the USB printer a new port number. The printer carries number %1, and a typical "
    "installation uses number 1: install it in advanced mode on its port, %2."};
const Wording kRenumberOtherPrinter = {
    "IDS_ERR_USBID_OTHERPRINTER",
    "This disc cannot give the USB printer a new port number. The printer carries number %1, and %2 needs "
    "number %3: connect a printer that carries number %3, or have this one's changed to it."};
const Wording kUsbInstallerNotStarted = {"IDS_ERR_STARTUSBINSTALLER", "Can not start %1  er = %2"};
const Wording kUsbInstallerNotEnded = {
    nullptr, "the USB driver installer %1 did not end within %2 seconds (it is left running)"};
const Wording kUsbDriverKept = {
    "IDS_INF_USBDRIVERKEPT",
    "%1\r\n\r\nThe USB class driver already installed is kept, and the installation goes on."};
const Wording kInvalidCommandLine = {"IDS_ERR_COMMANDLINE", "Invalid command line: %1."};

const std::vector<const Wording*>& keyedWordings() {
    static const std::vector<const Wording*> all = {
        &kProcessorRefused,   &kUnknownProcessorRefused, &kEarly64BitRefused,     &kProtectedPrintRefused,
        &kMediumLacks64BitBuilds, &kFolderLacks,         &kFileMissing,           &kFileBuiltForOther,
        &kFileNoProgram,      &kFileUnreadable,          &kUsbDriver64Incomplete, &kFilesMissing,
        &kRenumberOnOwnPort,  &kRenumberInAdvancedMode,  &kRenumberOtherPrinter,  &kUsbInstallerNotStarted,
        &kUsbDriverKept,      &kInvalidCommandLine};
    return all;
}

}  // namespace app
