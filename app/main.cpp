#include "app/SetupApp.h"
#include "os/Os.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    app::SetupApp setup;
    return setup.Run(commandLine ? commandLine : "");
}
