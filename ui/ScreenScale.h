// What the screen asks of the sizes the program picks itself: the dialogs'
// own sizes grow with the screen's dots per inch through their template
// font, but a font height or a pixel size given in code does not.
#pragma once

#include <windows.h>

namespace ui {

// The screen's dots per inch, as the program sees them (96 unless the
// program is DPI aware on a scaled screen).
int screenDpi();
// A size in pixels meant for 96 dots per inch, at the screen's: the same at
// 96, larger above, rounded to the nearest pixel.
int scaledForScreen(int pixels);

}  // namespace ui
