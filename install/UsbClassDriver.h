// The USB class driver, bulkusb.sys: whether the copy on the medium must be
// installed, decided by the file versions of the medium's copy and of the
// installed one. 64-bit Windows loads only its signed 64-bit build, which the
// medium keeps with its own installer in USBDrv\X64.
#pragma once

#include <string>
#include <vector>

namespace install {

// The FileVersion string of a file's version resource in its first language
// and code page; "0.0.0.0" when the file, its resource or the string is
// missing or empty.
std::string FileVersionText(const std::string& path);

// The medium's folder of the class driver and its installer for this
// machine, relative to the medium: "USBDrv\", on x64 "USBDrv\X64\".
std::string usbDriverFolder();

// The medium's copy: the program's directory + "USBDRV\bulkusb.sys" (on x64
// "USBDRV\X64\bulkusb.sys").
std::string mediumUsbDriverPath();
// The installed copy: the Windows directory + "\system32\drivers\bulkusb.sys".
// On 64-bit Windows that name shows this 32-bit program SysWOW64\drivers,
// where Windows loads no driver from: there the native folder is reached
// through "\Sysnative", which leaves the thread's redirection, and so the
// loading of the version library, alone.
std::string installedUsbDriverPath();

// What the medium's USBDrv\X64 lacks of the 64-bit installer and the files it
// installs (INF, catalog and driver), each named "USBDrv\X64\<file>";
// `medium` is the medium's folder, without a trailing backslash.
std::vector<std::string> missingX64UsbDriverFiles(const std::string& medium);

// Whether a class driver is installed at all: a copy in the system's driver
// folder, whatever its version (one without a version resource drives the
// printer as well).
bool usbClassDriverInstalled();

// -1 when no usable installed copy is found (its version is 0.0.0.0), 1 when
// the medium's copy is newer, 0 otherwise (equal texts included). Callers
// install the medium's copy on any result but 0.
int CompareUsbDriverVersions();

// A version text as its four numbers major.minor.build.revision, each read
// as a decimal number up to its dot (missing parts are 0), compared as a
// whole: 1.0.0.10 is newer than 1.0.0.9.
int compareVersionTexts(const std::string& first, const std::string& second);

}  // namespace install
