// Every section and key the program reads from a language file, for tests
// that check a language file or write one.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

inline const std::vector<std::pair<std::string, std::vector<std::string>>> kLanguageKeys = {
    {"Message",
     {"IDS_ABOUTBOX", "IDS_ADMIN", "IDS_ERR_NOLEFT", "IDS_ERR_NOLICENSE", "IDS_TYPICAL_NOTES",
      "IDS_NOTSUPPORTNT", "IDS_NOTSUPPORT2003", "IDS_NOTSUPPORTVISTA", "IDS_NOTSUPPORT2008",
      "IDS_NOTSUPPORTWin7", "IDS_ERR_SYSTEM", "IDS_ERR_SELPRINTER", "IDS_ERR_NOSUPPORTINTERFACE",
      "IDS_ERR_NOUSBDEVICE", "IDS_INF_CHANGEID", "IDS_ERR_NOSUPPORTUSB", "IDS_INF_NTRESTART",
      "IDS_INF_USBRESTART", "IDS_INF_RESTART", "IDS_ERR_EXITWIN", "IDS_ERR_ONEPRINTER",
      "IDS_ERR_UPDATEUSB", "IDS_ERR_TOOMANY", "IDS_ERR_ADDPRINTER", "IDS_ERR_ADDPRNDRV3",
      "IDS_ERR_ADDMONITOR", "IDS_ERR_ADDPROCESSOR", "IDS_ERR_ALLOCMEMORY", "IDS_ERR_GETDRIVERDIR",
      "IDS_ERR_GETPRODIR", "IDS_ERR_GETSYSDIR", "IDS_ERR_GETWINDIR", "IDS_ERR_GETCURDIR",
      "IDS_ERR_COPYFIEL", "IDS_ERR_DIRTYPE", "IDS_ERR_NEEDRESTART", "IDS_ERR_LOSTDRIVERFILE",
      // The texts the program words itself, with their English where a file has none.
      "IDS_ERR_PROCESSOR", "IDS_ERR_UNKNOWNPROCESSOR", "IDS_ERR_EARLYX64", "IDS_ERR_PROTECTEDPRINT",
      "IDS_ERR_X64FILES", "IDS_ERR_FOLDERLACKS", "IDS_ERR_FILEMISSING", "IDS_ERR_FILEMACHINE",
      "IDS_ERR_FILENOTPROGRAM", "IDS_ERR_FILEUNREADABLE", "IDS_ERR_X64USBDRIVER", "IDS_ERR_MISSINGFILES",
      "IDS_ERR_USBID_OWNPORT", "IDS_ERR_USBID_ADVANCED", "IDS_ERR_USBID_OTHERPRINTER",
      "IDS_ERR_STARTUSBINSTALLER", "IDS_INF_USBDRIVERKEPT", "IDS_ERR_COMMANDLINE"}},
    {"Setup",
     {"Caption", "Help", "Back", "Next", "Install", "Cancel", "Close", "Nonsupport", "PortNull",
      "PathTooLong", "CaptionName"}},
    {"Legal", {"Agreement", "Accept", "Reject"}},
    {"Mode", {"Type", "Typical", "Advanced", "Remarks", "Note1", "Note2", "Note3"}},
    {"System", {"Select"}},
    {"About", {"Version", "Copyright", "OK", "Caption"}},
    {"Help Guide", {"Caption", "Name"}},
    {"Series", {"Select", "Receipt", "Ticket", "Label", "Embedded", "Default"}},
    {"Confirm",
     {"Set", "Ports", "Com", "BaudRate", "Parity", "ByteSize", "StopBits", "Protocol", "Raster",
      "Parity.Even", "Parity.Mark", "Parity.None", "Parity.Odd", "Parity.Space", "Protocol.None",
      "Protocol.Xonoff", "Protocol.Hardware"}},
    {"Progress", {"Wait"}},
};

}  // namespace testing_support
