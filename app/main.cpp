#include "app/SetupApp.h"
#include "os/Os.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    app::SetupApp setup;
    setup.InitInstance();
    return 0;
}
