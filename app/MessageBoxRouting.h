// Gives the window framework the program's two kinds of message box, and the
// program's application boxes their owner from the framework's main window.
#pragma once

namespace app {

void routeMessageBoxes();

}  // namespace app
