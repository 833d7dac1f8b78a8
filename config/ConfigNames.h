// Names of the configuration files, sections and category suffixes, letter
// for letter as the installation medium spells them.
#pragma once

#include <string>

namespace config {

// PrinterCategory: 0 Receipt, 1 Ticket, 2 Label, 3 Embedded; -1 none.
constexpr int kNoCategory = -1;
constexpr int kCategoryCount = 4;

// TargetOs: 0 Windows 98/Me (and anything unknown), 1 NT 4.0, 2 2000, 3 XP,
// 4 Server 2003, 5 Vista, 6 Server 2008, 7 Windows 7.
constexpr int kTargetOsCount = 8;

enum DriverFlavour { kStd = 0, kGdi = 1 };
enum PortKind { kSerial = 0, kParallel = 1, kUsb = 2 };

extern const char* const kSetupFile;  // "DRVCONFIG\setup.ini"
// The category files as DriverConfig and the start-up check name them...
const char* categoryFileLower(int category);
// ...and as the wizard's page checks and the install paths name them. Both
// spellings open the same files: Windows compares file names without case.
const char* categoryFileCapitalised(int category);

// The section-name suffix of a target system ("98", "NT", "2K", "XP",
// "2003", "Vista", "2008", "Win7"); TargetOs outside 0..7 reads as 98/Me.
const char* osSuffix(int targetOs);

// Which model-support key of the port section a target system needs, and
// the message that refuses it; none for Windows 98/Me, 2000 and XP, which
// every model supports.
struct TargetRequirement {
    const char* supportKey;  // "SystemNTSupported", ...; null: not tested
    const char* refusal;     // "IDS_NOTSUPPORTNT", ...
};
TargetRequirement targetRequirement(int targetOs);

// "{model}.{OsSuffix}", "{model}.PORT" and "COMMON-MONITOR.{OsSuffix}".
std::string modelSection(const std::string& model, int targetOs);
std::string portSection(const std::string& model);
std::string monitorSection(int targetOs);

}  // namespace config
