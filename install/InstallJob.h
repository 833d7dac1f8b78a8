// What one installation works from: the user's choices and the records
// assembled for them, and what the install sequence reports back.
#pragma once

#include <atomic>
#include <string>

#include "config/DriverConfig.h"
#include "os/WinApi.h"

namespace install {

// The user's choices as the install command captures them.
struct InstallSelection {
    int targetOs = 0;
    int category = -1;
    std::string modelName;  // after the install: the name the printer was created with
    int installMode = 1;    // 1 typical, 0 advanced
    bool defaultPrinter = false;
    // The installation runs as the local system account (a deployment).
    bool systemAccount = false;
    std::string portName;  // as chosen on the port page
    int flavour = config::kStd;
    int portKind = config::kSerial;
    int baudRate = 0;
    int dataBits = 8;
    double stopBits = 1.0;
    char parity = 'n';
    char flowControl = 'p';
};

// The progress of an installation: 0 running, 1 ended with a failure, 2 ended
// successfully. Written once, last, by the install sequence.
enum InstallStatus { kInstallRunning = 0, kInstallFailed = 1, kInstallSucceeded = 2 };

struct InstallJob {
    InstallJob() = default;
    // The records point into the job: a copy would point into the original.
    InstallJob(const InstallJob&) = delete;
    InstallJob& operator=(const InstallJob&) = delete;

    InstallSelection selection;
    config::DriverConfig config;
    config::DriverFileList files;
    DRIVER_INFO_3A driver{};
    PRINTER_INFO_2A printer{};
    MONITOR_INFO_2A languageMonitor{};
    int statusFlags = 0;          // InstallStatusFlags
    std::string numberedName;     // storage of a numbered printer name
    // The preparation refused what this machine cannot take (its system, its
    // processor, what the medium lacks for it) rather than failed: an
    // unattended run ends "not supported".
    bool refusedAsNotSupported = false;
    // An unattended run found the printer it would add already installed as
    // the model's, on its port: the sequence keeps it, adds none and leaves
    // its USB port records as they are.
    bool keepsPrinter = false;

    // Keeps the language monitor's name, environment and DLL name in this
    // job's own storage and points `languageMonitor` at it. The configuration
    // refills its buffers whenever a record is built again (the install
    // sequence builds the monitor's once more), which would leave records
    // that point into them dangling.
    void keepLanguageMonitor(const MONITOR_INFO_2A& monitor);
    // The printer's port and name, likewise kept here, with the printer
    // record pointing at them.
    void setPrinterPort(const std::string& port);
    void setPrinterName(const std::string& name);

private:
    std::string monitorName_, monitorEnvironment_, monitorDll_;
    bool monitorHasEnvironment_ = false;
    std::string printerPort_, printerName_;
};

// The one message of an installation: its first failure or its closing
// notice. It grows with its text, so a long path reaches the user whole.
std::string& InstallMessage();

// What the install command hands to the worker thread.
struct WorkerParams {
    InstallJob* job;
    // The progress window's install status: the one datum the threads share.
    std::atomic<int>* installStatus;
};

// The worker thread's procedure: runs the install sequence for the job and
// writes the outcome into the install status as the last thing it does.
// Always returns 0.
unsigned InstallWorker(void* params);

}  // namespace install
