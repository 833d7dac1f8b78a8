#include "app/SetupApp.h"
#include "os/Os.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    app::SetupApp setup;
    // Its result only says that the program ends now.
    setup.InitInstance();
    return 0;
}
