// What the user has set for the screen that changes how the program draws.
#pragma once

namespace os {

// Whether high contrast is on: the colours the program picks itself then
// give way to the system's. A system that cannot say (the query fails, as
// on Windows NT 4.0) has it off.
bool highContrastOn();

}  // namespace os
