// The service control manager of the simulation: handles with the access
// rights they were opened with, and the services' answers on the virtual clock.
#include <cstring>

#include "os/sim/SimObjects.h"

namespace os::sim {
namespace {

std::string text(LPCSTR s) { return s ? std::string(s) : std::string(); }

// The rights a generic request stands for, as the manager's and the
// services' security descriptors map them.
DWORD mapManagerAccess(DWORD access) {
    if (access & GENERIC_ALL) access |= SC_MANAGER_ALL_ACCESS;
    if (access & GENERIC_READ)
        access |= READ_CONTROL | SC_MANAGER_ENUMERATE_SERVICE | SC_MANAGER_QUERY_LOCK_STATUS;
    if (access & GENERIC_WRITE) access |= SC_MANAGER_CREATE_SERVICE | SC_MANAGER_MODIFY_BOOT_CONFIG;
    if (access & GENERIC_EXECUTE) access |= SC_MANAGER_CONNECT | SC_MANAGER_LOCK;
    return (access & ~(GENERIC_ALL | GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE)) |
           SC_MANAGER_CONNECT;
}

DWORD mapServiceAccess(DWORD access) {
    if (access & GENERIC_ALL) access |= SERVICE_ALL_ACCESS;
    if (access & GENERIC_READ)
        access |= READ_CONTROL | SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS |
                  SERVICE_INTERROGATE | SERVICE_ENUMERATE_DEPENDENTS;
    if (access & GENERIC_WRITE) access |= READ_CONTROL | SERVICE_CHANGE_CONFIG;
    if (access & GENERIC_EXECUTE)
        access |= READ_CONTROL | SERVICE_START | SERVICE_STOP | SERVICE_PAUSE_CONTINUE |
                  SERVICE_USER_DEFINED_CONTROL;
    return access & ~(GENERIC_ALL | GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE);
}

// What a user without administrator rights may ask of the manager and of a
// system service such as the Spooler.
const DWORD kUserManagerRights = SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE |
                                 SC_MANAGER_QUERY_LOCK_STATUS | READ_CONTROL;
const DWORD kUserServiceRights = SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS |
                                 SERVICE_ENUMERATE_DEPENDENTS | SERVICE_INTERROGATE |
                                 SERVICE_USER_DEFINED_CONTROL | READ_CONTROL;

}  // namespace

SC_HANDLE SimOs::OpenSCManagerA(LPCSTR machineName, LPCSTR database, DWORD access) {
    SIM_LOCK();
    if (enter("OpenSCManagerA")) return nullptr;
    // Windows 95, 98 and Me have no service control manager.
    if (refusedOffNtOrRemote(machineName)) return nullptr;
    if (database != nullptr && !equalsNoCase(database, "ServicesActive")) {
        fail(ERROR_DATABASE_DOES_NOT_EXIST);
        return nullptr;
    }
    DWORD granted = mapManagerAccess(access);
    if (!machine_.administrator && (granted & ~kUserManagerRights)) {
        fail(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    updateServices();
    auto manager = std::make_shared<ManagerObject>();
    manager->access = granted;
    return reinterpret_cast<SC_HANDLE>(addObject(manager));
}

SC_HANDLE SimOs::OpenServiceA(SC_HANDLE manager, LPCSTR serviceName, DWORD access) {
    SIM_LOCK();
    std::string name = text(serviceName);
    if (enter("OpenServiceA", name)) return nullptr;
    if (object<ManagerObject>(reinterpret_cast<HANDLE>(manager)) == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (name.empty()) {
        fail(ERROR_INVALID_NAME);
        return nullptr;
    }
    updateServices();
    Services::Service* service = services_.find(name);
    if (service == nullptr) {
        fail(ERROR_SERVICE_DOES_NOT_EXIST);
        return nullptr;
    }
    DWORD granted = mapServiceAccess(access);
    if (!machine_.administrator && (granted & ~kUserServiceRights)) {
        fail(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    auto handle = std::make_shared<ServiceObject>();
    handle->name = service->name;
    handle->access = granted;
    return reinterpret_cast<SC_HANDLE>(addObject(handle));
}

// The service behind a handle, brought up to the clock; null, with the last
// error set, when the call is to fail or the handle lacks `right`.
Services::Service* SimOs::openedService(const char* call, SC_HANDLE handle, DWORD right,
                                        ServiceObject** opened) {
    auto* object = this->object<ServiceObject>(reinterpret_cast<HANDLE>(handle));
    if (enter(call, object ? object->name : std::string())) return nullptr;
    if (object == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if ((object->access & right) != right) {
        fail(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    updateServices();
    Services::Service* service = services_.find(object->name);
    if (service == nullptr) fail(ERROR_INVALID_HANDLE);
    if (opened) *opened = object;
    return service;
}

BOOL SimOs::ControlService(SC_HANDLE handle, DWORD control, LPSERVICE_STATUS status) {
    SIM_LOCK();
    ServiceObject* object = nullptr;
    Services::Service* service = openedService("ControlService", handle, 0, &object);
    if (service == nullptr) return FALSE;
    DWORD now = clock_.now();
    if (control == SERVICE_CONTROL_STOP) {
        if (!(object->access & SERVICE_STOP)) {
            fail(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        bool filled = false;
        DWORD error = services_.stop(*service, now, &filled);
        if (filled && status != nullptr) *status = Services::status(*service, now);
        updateServices();
        if (error) {
            fail(error);
            return FALSE;
        }
        return TRUE;
    }
    if (control == SERVICE_CONTROL_INTERROGATE) {
        if (!(object->access & SERVICE_INTERROGATE)) {
            fail(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (status != nullptr) *status = Services::status(*service, now);
        if (service->state == SERVICE_STOPPED) {
            fail(ERROR_SERVICE_NOT_ACTIVE);
            return FALSE;
        }
        return TRUE;
    }
    // The spooler accepts no pause, continue or other control.
    if (status != nullptr) *status = Services::status(*service, now);
    fail(ERROR_INVALID_SERVICE_CONTROL);
    return FALSE;
}

BOOL SimOs::StartServiceA(SC_HANDLE handle, DWORD, LPCSTR*) {
    SIM_LOCK();
    Services::Service* service = openedService("StartServiceA", handle, SERVICE_START, nullptr);
    if (service == nullptr) return FALSE;
    DWORD error = services_.start(*service, clock_.now());
    updateServices();
    if (error) {
        fail(error);
        return FALSE;
    }
    return TRUE;
}

BOOL SimOs::QueryServiceStatus(SC_HANDLE handle, LPSERVICE_STATUS status) {
    SIM_LOCK();
    Services::Service* service =
        openedService("QueryServiceStatus", handle, SERVICE_QUERY_STATUS, nullptr);
    if (service == nullptr) return FALSE;
    if (status == nullptr) {
        fail(RPC_X_NULL_REF_POINTER);
        return FALSE;
    }
    DWORD now = clock_.now();
    services_.query(*service, now);
    *status = Services::status(*service, now);
    updateServices();
    return TRUE;
}

BOOL SimOs::CloseServiceHandle(SC_HANDLE handle) {
    SIM_LOCK();
    if (enter("CloseServiceHandle")) return FALSE;
    HANDLE h = reinterpret_cast<HANDLE>(handle);
    if (object<ManagerObject>(h) == nullptr && object<ServiceObject>(h) == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    objects_.erase(reinterpret_cast<uintptr_t>(h));
    return TRUE;
}

}  // namespace os::sim
