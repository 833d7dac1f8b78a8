// The USB printer's port number, read from and written into the one attached
// printer through the maker's USB access library "HvUsbInt.dll", loaded at
// run time from the program's search path. A printer of the maker carries a
// small number, its USB port number 1 to 8, as the low three bits of its
// device release value: number = (value mod 8) + 1.
#pragma once

#include <array>

namespace install {

// The signature of the printer's configuration commands, four bytes that the
// set-identity command carries. It is the printer's own, from its maker's
// command documentation: the medium gives it ("DRVCONFIG\setup.ini",
// section "USBIDENTITY", key "SIGNATURE", four hexadecimal bytes separated
// by blanks, as "50 4C 48 44"); the program has none of its own.
using UsbCommandSignature = std::array<unsigned char, 4>;

// The medium's signature; false when it gives none, or none that reads as
// four bytes.
bool readUsbCommandSignature(UsbCommandSignature* signature);

// Results of ReadUsbDeviceId besides a device value.
constexpr int kNoUsbPrinter = -1;       // no printer, no library, or no descriptor
constexpr int kSeveralUsbPrinters = -2;

// The device value (0 to 65535) of the one attached printer, or one of the
// results above. Shows its failures in application message boxes: the
// library or one of its functions missing, several printers (the language
// text IDS_ERR_ONEPRINTER), a descriptor that cannot be read. No printer at
// all is said by the caller where it matters.
int ReadUsbDeviceId();

// Gives the attached printer the port number `number` (1 to 8) with a
// set-identity command that carries `signature`; true when the printer
// accepted it. A number outside 1 to 8 is refused without a word; every other
// failure is shown in an application message box.
bool WriteUsbDeviceId(unsigned char number, const UsbCommandSignature& signature);

// The USB port number a device value stands for, 1 to 8. The remainder keeps
// the sign of the value, so the results -1 and -2 give 0 and -1.
inline int usbPortNumber(int deviceValue) { return deviceValue % 8 + 1; }

}  // namespace install
