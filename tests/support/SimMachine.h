// A simulated Windows machine installed as the process's system, with the
// program started from C:\MEDIUM\setup.exe in that directory; and the test
// fixture made of it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "os/Os.h"
#include "os/sim/SimOs.h"

namespace testing_support {

class SimMachine {
public:
    explicit SimMachine(const os::sim::Machine& machine = os::sim::Machine::windowsXp())
        : sim(machine), installed(sim) {}

    // Writes a file of the machine; relative paths from the current directory.
    void write(const std::string& path, const std::string& content) {
        sim.files().writeFile(sim.fullPath(path), content);
    }
    bool exists(const std::string& path) { return sim.files().isFile(sim.fullPath(path)); }
    std::string read(const std::string& path) {
        std::string content;
        sim.files().readFile(sim.fullPath(path), &content);
        return content;
    }
    std::vector<std::string> messages() { return sim.desktop().messageTexts(); }

    os::sim::SimOs sim;

private:
    os::ScopedSystem installed;
};

class SimMachineTest : public ::testing::Test, public SimMachine {
protected:
    explicit SimMachineTest(const os::sim::Machine& machine = os::sim::Machine::windowsXp())
        : SimMachine(machine) {}
};

}  // namespace testing_support
