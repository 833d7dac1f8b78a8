#include "install/SpoolerService.h"

#include "config/MessageBoxes.h"
#include "config/TextTable.h"
#include "os/Os.h"

namespace install {
namespace {

const char* const kSpooler = "Spooler";

// The service control manager and the Spooler opened for one operation.
class SpoolerHandles {
public:
    explicit SpoolerHandles(DWORD access) {
        manager_ = os::sys().OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        if (manager_) service_ = os::sys().OpenServiceA(manager_, kSpooler, access);
    }
    ~SpoolerHandles() {
        if (service_) os::sys().CloseServiceHandle(service_);
        if (manager_) os::sys().CloseServiceHandle(manager_);
    }
    SpoolerHandles(const SpoolerHandles&) = delete;
    SpoolerHandles& operator=(const SpoolerHandles&) = delete;
    SC_HANDLE manager() const { return manager_; }
    SC_HANDLE service() const { return service_; }
    // Closes the service handle, keeping the manager's.
    void closeService() {
        if (service_) os::sys().CloseServiceHandle(service_);
        service_ = nullptr;
    }

private:
    SC_HANDLE manager_ = nullptr;
    SC_HANDLE service_ = nullptr;
};

}  // namespace

void StopSpooler() {
    SpoolerHandles handles(SERVICE_STOP);
    if (!handles.manager()) return;
    if (handles.service()) {
        // A stop that fails is not reported: the start that follows and the
        // wait for the running state decide the outcome.
        SERVICE_STATUS status = {};
        os::sys().ControlService(handles.service(), SERVICE_CONTROL_STOP, &status);
        handles.closeService();
    }
    os::sys().Sleep(100);
}

void StartSpooler(std::string& errorText) {
    SpoolerHandles handles(SERVICE_START);
    if (!handles.service()) return;
    if (!os::sys().StartServiceA(handles.service(), 0, nullptr)) {
        DWORD error = os::sys().GetLastError();
        if (error != ERROR_SERVICE_ALREADY_RUNNING)
            errorText = "Start spool service error, error code = " + std::to_string(error);
    }
}

DWORD WaitSpoolerRunning(std::string& installMessage) {
    DWORD state = SERVICE_STOPPED;
    {
        SpoolerHandles handles(SERVICE_QUERY_STATUS);
        if (handles.service()) {
            for (int query = 0; query < 10; ++query) {
                SERVICE_STATUS status = {};
                if (os::sys().QueryServiceStatus(handles.service(), &status))
                    state = status.dwCurrentState;
                if (state == SERVICE_RUNNING) break;
                os::sys().Sleep(300);
            }
        }
    }
    if (state != SERVICE_RUNNING) installMessage = "StartSpoolService error";
    return state;
}

void RestartWindows(std::string& installMessage) {
    if (app::applicationMessageBox(app::MessageTexts().GetText("IDS_INF_RESTART"), MB_YESNO) != IDYES)
        return;
    if (!os::sys().ExitWindowsEx(EWX_REBOOT, 0))
        installMessage = app::MessageTexts().GetText("IDS_ERR_EXITWIN");
}

}  // namespace install
