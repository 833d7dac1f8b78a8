#include "os/win32/CommonControls.h"

#include "os/win32/Win32Os.h"

namespace os {
namespace {

typedef HANDLE(WINAPI* CreateActCtxProc)(const ACTCTXA*);
typedef BOOL(WINAPI* ActivateActCtxProc)(HANDLE, ULONG_PTR*);
typedef BOOL(WINAPI* DeactivateActCtxProc)(DWORD, ULONG_PTR);
typedef void(WINAPI* ReleaseActCtxProc)(HANDLE);
typedef BOOL(WINAPI* FindActCtxSectionStringProc)(DWORD, const GUID*, ULONG, LPCSTR, PACTCTX_SECTION_KEYED_DATA);

const char kLibrary[] = "comctl32.dll";

// The activation-context functions came with Windows XP; Windows 2000 has none.
struct ContextFunctions {
    CreateActCtxProc create;
    ActivateActCtxProc activate;
    DeactivateActCtxProc deactivate;
    ReleaseActCtxProc release;
    FindActCtxSectionStringProc find;

    ContextFunctions() {
        HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
        create = reinterpret_cast<CreateActCtxProc>(::GetProcAddress(kernel, "CreateActCtxA"));
        activate = reinterpret_cast<ActivateActCtxProc>(::GetProcAddress(kernel, "ActivateActCtx"));
        deactivate = reinterpret_cast<DeactivateActCtxProc>(::GetProcAddress(kernel, "DeactivateActCtx"));
        release = reinterpret_cast<ReleaseActCtxProc>(::GetProcAddress(kernel, "ReleaseActCtx"));
        find = reinterpret_cast<FindActCtxSectionStringProc>(::GetProcAddress(kernel, "FindActCtxSectionStringA"));
    }
    bool present() const { return create && activate && deactivate && release && find; }
};

// The version the program's own manifest asks for, which side-by-side takes
// from the system's store of assemblies. The manifest inside the program is
// named explicitly: on XP one placed beside the program would otherwise be
// preferred to it. Loaded by name only when that manifest redirects the name,
// so that no folder is ever searched for it; null otherwise.
HMODULE fromOwnManifest() {
    ContextFunctions functions;
    if (!functions.present()) return nullptr;
    ACTCTXA request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.hModule = ::GetModuleHandleA(nullptr);
    request.lpResourceName = MAKEINTRESOURCEA(1);  // the program's manifest
    HANDLE context = functions.create(&request);
    if (context == INVALID_HANDLE_VALUE) return nullptr;
    HMODULE module = nullptr;
    ULONG_PTR cookie = 0;
    if (functions.activate(context, &cookie)) {
        ACTCTX_SECTION_KEYED_DATA redirection = {};
        redirection.cbSize = sizeof redirection;
        if (functions.find(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, kLibrary, &redirection))
            module = ::LoadLibraryA(kLibrary);
        functions.deactivate(0, cookie);
    }
    functions.release(context);
    return module;
}

}  // namespace

HMODULE loadCommonControls() {
    static const HMODULE module = [] {
        HMODULE found = fromOwnManifest();
        return found ? found : loadSystemLibrary(kLibrary);
    }();
    return module;
}

}  // namespace os
