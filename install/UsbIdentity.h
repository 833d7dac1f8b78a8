// The USB printer's port number, read from and written into the one attached
// printer through the maker's USB access library "HvUsbInt.dll", loaded at
// run time from the program's search path. A printer of the maker carries a
// small number, its USB port number 1 to 8, as the low three bits of its
// device release value: number = (value mod 8) + 1.
#pragma once

namespace install {

// Results of ReadUsbDeviceId besides a device value.
constexpr int kNoUsbPrinter = -1;       // no printer, no library, or no descriptor
constexpr int kSeveralUsbPrinters = -2;

// The device value (0 to 65535) of the one attached printer, or one of the
// results above. Shows its failures in application message boxes: the
// library or one of its functions missing, several printers (the language
// text IDS_ERR_ONEPRINTER), a descriptor that cannot be read. No printer at
// all is said by the caller where it matters.
int ReadUsbDeviceId();

// Gives the attached printer the port number `number` (1 to 8); true when
// the printer accepted the command. A number outside 1 to 8 is refused
// without a word; every other failure is shown in an application message box.
bool WriteUsbDeviceId(unsigned char number);

// The USB port number a device value stands for, 1 to 8. The remainder keeps
// the sign of the value, so the results -1 and -2 give 0 and -1.
inline int usbPortNumber(int deviceValue) { return deviceValue % 8 + 1; }

}  // namespace install
