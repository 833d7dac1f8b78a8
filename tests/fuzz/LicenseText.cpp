// License.txt as the agreement page reads it. Input: a digit choosing a call
// that fails (0 none, 1 CreateFileA, 2 SetFilePointer, 3 ReadFile,
// 4 LocalAlloc), a digit for how many of those calls succeed first, then the
// file's bytes.
#include "pages/LicenseText.h"
#include "support/SimMachine.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    testing_support::SimMachine machine;
    const std::string file(reinterpret_cast<const char*>(data + 2), size - 2);
    machine.write("License.txt", file);
    static const char* const calls[] = {"CreateFileA", "SetFilePointer", "ReadFile", "LocalAlloc"};
    if (int call = fuzzing::choice(data[0], 5))
        machine.sim.faults().fail(calls[call - 1], ERROR_ACCESS_DENIED).after(fuzzing::choice(data[1], 4));
    const size_t handles = machine.sim.openHandles();
    std::string text = "left over";
    pages::LicenseRead read = pages::readLicenseText("License.txt", &text);
    FUZZ_CHECK(machine.sim.openHandles() == handles);
    FUZZ_CHECK(read == pages::LicenseRead::Read ? text == file : text.empty());
    return 0;
}
