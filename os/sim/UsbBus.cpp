#include "os/sim/UsbBus.h"

#include <algorithm>

#include "os/Os.h"
#include "os/UsbAccessLibrary.h"
#include "os/sim/StandinPrinter.h"

namespace os::sim {
namespace {

UsbBus* active = nullptr;
const uintptr_t kHandleBase = 0x7000;

UsbBus::Printer* printerOf(HANDLE device) {
    uintptr_t value = reinterpret_cast<uintptr_t>(device);
    if (active == nullptr || value < kHandleBase || value >= kHandleBase + 8) return nullptr;
    return active->at(static_cast<int>(value - kHandleBase));
}

HANDLE WINAPI openDeviceX(int index) {
    if (active == nullptr || active->at(index) == nullptr) return INVALID_HANDLE_VALUE;
    active->at(index)->opens++;
    return reinterpret_cast<HANDLE>(kHandleBase + index);
}

int WINAPI getDescriptor(HANDLE device, unsigned char* buffer) {
    UsbBus::Printer* p = printerOf(device);
    if (p == nullptr || !p->descriptorReadable || buffer == nullptr) return FALSE;
    for (size_t i = 0; i < p->descriptor.size(); ++i) buffer[i] = p->descriptor[i];
    return TRUE;
}

// The printer takes a set-identity command (ESC 's', the four signature
// bytes, GS 'I' blank, number) into the low three bits of its device value.
int WINAPI uWrite(HANDLE device, int, const BYTE* data, int length) {
    UsbBus::Printer* p = printerOf(device);
    if (p == nullptr || data == nullptr || length <= 0) return 0;
    p->received.emplace_back(data, data + length);
    if (!p->acceptsWrites) return 0;
    static const BYTE head[9] = {0x1B, 0x73, STANDIN_PRINTER_SIGNATURE, 0x1D, 0x49, 0x20};
    if (length == USB_SET_IDENTITY_LENGTH && std::equal(head, head + 9, data) && data[9] < 8) {
        p->setDeviceValue(static_cast<WORD>((p->deviceValue() & ~7u) | data[9]));
    }
    return length;
}

void WINAPI closeDevice(HANDLE device) {
    if (UsbBus::Printer* p = printerOf(device)) p->closes++;
}

}  // namespace

UsbBus::Printer& UsbBus::attach(WORD deviceValue, int index) {
    if (index < 0) {
        index = 0;
        while (index < 7 && present_[index]) ++index;
    }
    Printer p;
    // A standard device descriptor: length 18, type 1, USB 1.10, printer class
    // in the interface, the maker's vendor and product ids.
    const BYTE standard[18] = {18, 1, 0x10, 0x01, 0, 0, 0, 64, 0x28, 0x0E, 0x01, 0x02,
                               0, 0, 1, 2, 3, 1};
    for (int i = 0; i < 18; ++i) p.descriptor[i] = standard[i];
    p.setDeviceValue(deviceValue);
    slots_[index] = p;
    present_[index] = true;
    return slots_[index];
}

void UsbBus::detach(int index) {
    if (index >= 0 && index < 8) present_[index] = false;
}

UsbBus::Printer* UsbBus::at(int index) {
    if (index < 0 || index >= 8 || !present_[index]) return nullptr;
    return &slots_[index];
}

int UsbBus::attached() const {
    int n = 0;
    for (bool p : present_) n += p ? 1 : 0;
    return n;
}

void UsbBus::activate() { active = this; }

UsbBus::~UsbBus() {
    if (active == this) active = nullptr;
}

namespace {
// Each entry point passes through the library's own function type, so that
// a simulated function of another shape does not compile.
template <typename Proc>
FARPROC exported(Proc function) {
    return reinterpret_cast<FARPROC>(function);
}
}  // namespace

FARPROC UsbBus::function(const std::string& name) {
    if (name == "OpenDeviceX") return exported<UsbOpenDeviceXProc>(&openDeviceX);
    if (name == "GetDescriptor") return exported<UsbGetDescriptorProc>(&getDescriptor);
    if (name == "uWrite") return exported<UsbWriteProc>(&uWrite);
    if (name == "CloseDevice") return exported<UsbCloseDeviceProc>(&closeDevice);
    return nullptr;
}

}  // namespace os::sim
