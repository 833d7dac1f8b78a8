// A simulated machine with the program on its medium C:\MEDIUM: language
// texts for the installation messages, and helpers to put files on the
// medium and to read the driver directories.
#pragma once

#include <fstream>
#include <iterator>

#include "config/TextTable.h"
#include "install/FileStaging.h"
#include "support/SimMachine.h"

namespace testing_support {

// Each message is its key in brackets, so a test sees which text was chosen.
inline std::string engineLanguageFile() {
    std::string file = "[Message]\r\n";
    for (const char* key :
         {"IDS_ERR_COPYFIEL", "IDS_ERR_GETDRIVERDIR", "IDS_ERR_GETPRODIR", "IDS_ERR_GETSYSDIR",
          "IDS_ERR_GETWINDIR", "IDS_ERR_GETCURDIR", "IDS_ERR_DIRTYPE", "IDS_ERR_ALLOCMEMORY",
          "IDS_ERR_ADDPRINTER", "IDS_ERR_TOOMANY", "IDS_ERR_ADDPRNDRV3", "IDS_ERR_ADDMONITOR",
          "IDS_ERR_ADDPROCESSOR", "IDS_ERR_NEEDRESTART", "IDS_ERR_LOSTDRIVERFILE",
          "IDS_INF_NTRESTART", "IDS_INF_USBRESTART", "IDS_INF_RESTART", "IDS_ERR_EXITWIN"})
        file += std::string(key) + "=<" + key + ">\r\n";
    return file;
}

class EngineMachine : public SimMachine {
public:
    explicit EngineMachine(const os::sim::Machine& machine = os::sim::Machine::windowsXp())
        : SimMachine(machine) {
        write("C:\\MEDIUM\\language\\setup.ini", engineLanguageFile());
        app::reopenMessageTexts();
        install::resetDriverCache();
    }

    // A file of the medium's W32 folder.
    void onMedium(const std::string& name, const std::string& content = "medium file") {
        write("C:\\MEDIUM\\W32\\" + name, content);
    }
    // The medium's 64-bit build of a file.
    void onMediumX64(const std::string& name, const std::string& content) {
        write("C:\\MEDIUM\\X64\\" + name, content);
    }
    // The spooler's directories: on Windows 98/Me both are the system directory.
    std::string driverDirectory() {
        return sim.machine().isNt() ? sim.machine().systemDirectory + "\\spool\\DRIVERS\\W32X86"
                                    : sim.machine().systemDirectory;
    }
    std::string processorDirectory() {
        return sim.machine().isNt() ? sim.machine().systemDirectory + "\\spool\\PRTPROCS\\W32X86"
                                    : sim.machine().systemDirectory;
    }
    std::string systemDirectory() { return sim.machine().systemDirectory; }
    std::string windowsDirectory() { return sim.machine().windowsDirectory; }

    // A host test data file's bytes.
    static std::vector<uint8_t> testData(const std::string& name) {
        std::ifstream in(std::string(TESTDATA_DIR) + "/" + name, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
};

class EngineTest : public ::testing::Test, public EngineMachine {
protected:
    explicit EngineTest(const os::sim::Machine& machine = os::sim::Machine::windowsXp())
        : EngineMachine(machine) {}
};

}  // namespace testing_support
