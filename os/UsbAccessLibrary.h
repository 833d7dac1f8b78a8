/*
 * The binary interface of the maker's USB access library, "HvUsbInt.dll",
 * as this program uses it: four __stdcall functions exported under their
 * plain names. The program looks them up at run time; the simulated Windows
 * and our test stand-in (tools/standins) implement them. Written once here,
 * in C, so that all three agree.
 *
 * Include <windows.h> (or os/WinApi.h in the portable parts) first.
 */
#ifndef USB_ACCESS_LIBRARY_H
#define USB_ACCESS_LIBRARY_H

#define USB_LIBRARY_FILE "HvUsbInt.dll"

/* Opens the printer at a device index (0 to 7); 0 or INVALID_HANDLE_VALUE
 * when there is none. */
typedef HANDLE(WINAPI* UsbOpenDeviceXProc)(int index);
/* Fills a 20-byte buffer with the printer's 18-byte USB device descriptor;
 * non-zero on success. */
typedef int(WINAPI* UsbGetDescriptorProc)(HANDLE device, unsigned char* descriptor);
/* Sends bytes to the printer (the second argument is always 0); the number
 * of bytes taken, 0 or less on failure. */
typedef int(WINAPI* UsbWriteProc)(HANDLE device, int reserved, const unsigned char* data,
                                  int length);
typedef void(WINAPI* UsbCloseDeviceProc)(HANDLE device);

#define USB_DEVICE_INDICES 8
#define USB_DESCRIPTOR_BUFFER 20
/* bcdDevice, the device's release number, little-endian at this offset. */
#define USB_DEVICE_VALUE_OFFSET 12

/*
 * The set-identity command, ten bytes: ESC 's', the four signature bytes of
 * the printer's configuration commands, GS 'I' blank, and the new USB port
 * number less one (0 to 7). The signature is the printer's: the program
 * takes it from the medium ("DRVCONFIG\setup.ini", section "USBIDENTITY",
 * key "SIGNATURE") and sends nothing without it.
 */
#define USB_SET_IDENTITY_LENGTH 10

#endif
