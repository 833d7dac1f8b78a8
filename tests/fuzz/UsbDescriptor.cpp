// The USB printer's device value read from its descriptor and written back
// through the USB library. Input: a digit for the printers attached (0 to 2),
// a digit for the printer's state (0 normal, 1 descriptor unreadable,
// 2 refuses writes, 3 library without GetDescriptor), the port number to
// write (a byte), then the 18 descriptor bytes.
#include "install/UsbIdentity.h"
#include "support/SimMachine.h"
#include "os/sim/StandinPrinter.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    testing_support::SimMachine machine;
    machine.write("C:\\MEDIUM\\" USB_LIBRARY_FILE, "MZ");
    os::sim::UsbBus& bus = machine.sim.usb();
    const int printers = fuzzing::choice(data[0], 3);
    const int state = fuzzing::choice(data[1], 4);
    for (int i = 0; i < printers; ++i) {
        os::sim::UsbBus::Printer& printer = bus.attach(0);
        for (size_t b = 0; b < printer.descriptor.size() && 3 + b < size; ++b)
            printer.descriptor[b] = data[3 + b];
        printer.descriptorReadable = state != 1;
        printer.acceptsWrites = state != 2;
    }
    if (state == 3) bus.missingFunctions().insert("GetDescriptor");
    const bool readable = printers == 1 && state != 1 && state != 3;
    const size_t handles = machine.sim.openHandles();

    const int value = install::ReadUsbDeviceId();
    if (readable)
        FUZZ_CHECK(value == bus.at(0)->deviceValue());
    else
        FUZZ_CHECK(value == install::kNoUsbPrinter || value == install::kSeveralUsbPrinters);

    // A number the printer took is the number read back.
    const unsigned char number = data[2];
    const install::UsbCommandSignature signature = {STANDIN_PRINTER_SIGNATURE};
    if (install::WriteUsbDeviceId(number, signature) && readable)
        FUZZ_CHECK(install::usbPortNumber(install::ReadUsbDeviceId()) == number);
    // Every device opened is closed again, and the library released.
    for (int i = 0; i < printers; ++i) FUZZ_CHECK(bus.at(i)->opens == bus.at(i)->closes);
    FUZZ_CHECK(machine.sim.openHandles() == handles);
    return 0;
}
