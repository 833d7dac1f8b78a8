// The attached USB printers as the maker's USB library shows them, reached
// the way the system reaches them: LoadLibraryA and GetProcAddress.
#include <gtest/gtest.h>

#include <memory>

#include "os/sim/SimOs.h"
#include "os/sim/StandinPrinter.h"

using os::sim::SimOs;
using os::sim::UsbBus;

namespace {

class SimUsb : public ::testing::Test {
protected:
    void SetUp() override {
        // The library lies beside the program, where LoadLibraryA looks first.
        os_.files().writeFile("C:\\MEDIUM\\HvUsbInt.dll", std::string("MZ library stand-in"));
    }

    void load() {
        library_ = os_.LoadLibraryA("HvUsbInt.dll");
        ASSERT_NE(library_, nullptr) << os_.GetLastError();
        open_ = reinterpret_cast<UsbOpenDeviceXProc>(os_.GetProcAddress(library_, "OpenDeviceX"));
        descriptor_ = reinterpret_cast<UsbGetDescriptorProc>(
            os_.GetProcAddress(library_, "GetDescriptor"));
        write_ = reinterpret_cast<UsbWriteProc>(os_.GetProcAddress(library_, "uWrite"));
        close_ = reinterpret_cast<UsbCloseDeviceProc>(os_.GetProcAddress(library_, "CloseDevice"));
        ASSERT_TRUE(open_ && descriptor_ && write_ && close_);
    }

    static bool valid(HANDLE device) { return device != nullptr && device != INVALID_HANDLE_VALUE; }

    WORD deviceValue(HANDLE device) {
        BYTE buffer[20] = {};
        EXPECT_TRUE(descriptor_(device, buffer));
        EXPECT_EQ(buffer[0], 18);  // bLength
        EXPECT_EQ(buffer[1], 1);   // device descriptor
        return static_cast<WORD>(buffer[12] | (buffer[13] << 8));
    }

    static std::vector<BYTE> identityCommand(BYTE number, BYTE signatureFlip = 0) {
        std::vector<BYTE> command = {0x1B, 0x73, STANDIN_PRINTER_SIGNATURE, 0x1D, 0x49, 0x20, number};
        command[2] ^= signatureFlip;
        return command;
    }

    SimOs os_;
    HMODULE library_ = nullptr;
    UsbOpenDeviceXProc open_ = nullptr;
    UsbGetDescriptorProc descriptor_ = nullptr;
    UsbWriteProc write_ = nullptr;
    UsbCloseDeviceProc close_ = nullptr;
};

}  // namespace

TEST_F(SimUsb, WithoutTheLibraryFileLoadingFails) {
    os_.files().remove("C:\\MEDIUM\\HvUsbInt.dll");
    EXPECT_EQ(os_.LoadLibraryA("HvUsbInt.dll"), nullptr);
    EXPECT_EQ(os_.GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST_F(SimUsb, TheLibraryIsFoundInTheSystemDirectoryToo) {
    os_.files().remove("C:\\MEDIUM\\HvUsbInt.dll");
    os_.files().writeFile("C:\\WINDOWS\\system32\\HVUSBINT.DLL", std::string("MZ"));
    EXPECT_NE(os_.LoadLibraryA("HvUsbInt.dll"), nullptr);
}

TEST_F(SimUsb, AFunctionTheLibraryLacksIsProcNotFound) {
    os_.usb().missingFunctions().insert("uWrite");
    HMODULE library = os_.LoadLibraryA("HvUsbInt.dll");
    ASSERT_NE(library, nullptr);
    EXPECT_NE(os_.GetProcAddress(library, "OpenDeviceX"), nullptr);
    os_.SetLastError(0);
    EXPECT_EQ(os_.GetProcAddress(library, "uWrite"), nullptr);
    EXPECT_EQ(os_.GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(os_.GetProcAddress(library, "OpenDevice"), nullptr);
    EXPECT_EQ(os_.GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_TRUE(os_.FreeLibrary(library));
}

TEST_F(SimUsb, ProbingFindsThePrintersAtTheirIndices) {
    load();
    for (int i = 0; i < 8; ++i) EXPECT_FALSE(valid(open_(i))) << i;
    os_.usb().attach(0x0102);
    os_.usb().attach(0x0200, 5);
    EXPECT_EQ(os_.usb().attached(), 2);
    HANDLE first = open_(0);
    HANDLE second = open_(5);
    ASSERT_TRUE(valid(first));
    ASSERT_TRUE(valid(second));
    EXPECT_FALSE(valid(open_(1)));
    EXPECT_FALSE(valid(open_(8)));
    EXPECT_FALSE(valid(open_(-1)));
    EXPECT_EQ(deviceValue(first), 0x0102);
    EXPECT_EQ(deviceValue(second), 0x0200);
    close_(first);
    close_(second);
    // Closing what is no device is harmless.
    close_(INVALID_HANDLE_VALUE);
    close_(nullptr);
    EXPECT_EQ(os_.usb().at(0)->opens, 1);
    EXPECT_EQ(os_.usb().at(0)->closes, 1);

    os_.usb().detach(0);
    EXPECT_FALSE(valid(open_(0)));
    EXPECT_EQ(os_.usb().attached(), 1);
}

TEST_F(SimUsb, TheSetIdentityCommandChangesTheLowThreeBitsOfTheDeviceValue) {
    load();
    os_.usb().attach(0x0102);
    HANDLE device = open_(0);
    ASSERT_TRUE(valid(device));
    auto command = identityCommand(3);
    EXPECT_EQ(write_(device, 0, command.data(), 10), 10);
    EXPECT_EQ(deviceValue(device), 0x0103);
    // The printer reports back the number it accepted: (value mod 8) + 1 = 4.
    EXPECT_EQ(deviceValue(device) % 8 + 1, 4);
    command = identityCommand(7);
    write_(device, 0, command.data(), 10);
    EXPECT_EQ(deviceValue(device), 0x0107);

    // Anything else is taken as data and leaves the identity alone.
    const BYTE text[] = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(write_(device, 0, text, 5), 5);
    command = identityCommand(8);  // no such number
    write_(device, 0, command.data(), 10);
    command = identityCommand(2, 0xFF);  // another command set's
    write_(device, 0, command.data(), 10);
    EXPECT_EQ(deviceValue(device), 0x0107);
    ASSERT_EQ(os_.usb().at(0)->received.size(), 5u);
    EXPECT_EQ(os_.usb().at(0)->received[0], identityCommand(3));
    close_(device);
}

TEST_F(SimUsb, APrinterCanRefuseWritesAndHideItsDescriptor) {
    load();
    UsbBus::Printer& printer = os_.usb().attach(0x0100);
    printer.acceptsWrites = false;
    printer.descriptorReadable = false;
    HANDLE device = open_(0);
    auto command = identityCommand(2);
    EXPECT_LE(write_(device, 0, command.data(), 10), 0);
    EXPECT_EQ(printer.deviceValue(), 0x0100);
    EXPECT_EQ(printer.received.size(), 1u);
    BYTE buffer[20] = {};
    EXPECT_FALSE(descriptor_(device, buffer));
    // A device handle that was never handed out has no descriptor either.
    EXPECT_FALSE(descriptor_(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x1234)), buffer));
}

TEST_F(SimUsb, AMachineThatGoesAwayDoesNotLeaveTheLibraryPointingAtIt) {
    load();
    os_.usb().attach(0x0101);
    {
        auto other = std::make_unique<SimOs>();
        other->files().writeFile("C:\\MEDIUM\\HvUsbInt.dll", std::string("MZ"));
        HMODULE library = other->LoadLibraryA("HvUsbInt.dll");
        ASSERT_NE(library, nullptr);
        other->usb().attach(0x0205);
        EXPECT_EQ(deviceValue(open_(0)), 0x0205);  // the library now sees the other machine
    }
    // Gone with its machine: no device, rather than a dangling bus.
    EXPECT_FALSE(valid(open_(0)));
    // Loading it again brings this machine's printers back.
    HMODULE again = os_.LoadLibraryA("HvUsbInt.dll");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(deviceValue(open_(0)), 0x0101);
}
