// The application object: its one-time initialisation is the program's
// whole life.
#pragma once

namespace app {

class SetupApp {
public:
    // Runs the start-up checks and the wizard; returns false in every case,
    // which ends the program.
    bool InitInstance();
};

}  // namespace app
