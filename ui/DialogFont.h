// The shared dialog font: one font for the whole program that holds nothing
// until it is created. The wizard creates it when the language file asks for
// the alternate (Chinese) font, and each dialog so flagged sends it to itself
// and its children.
#pragma once

#include <windows.h>

namespace ui {

class DialogFont {
public:
    DialogFont() = default;
    ~DialogFont() { destroy(); }
    DialogFont(const DialogFont&) = delete;
    DialogFont& operator=(const DialogFont&) = delete;

    // Replaces any font held by a new one.
    bool create(const LOGFONTW& description);
    // The alternate font: "宋体" (SimSun), 13 pixels high at 96 dots per
    // inch (scaled with the screen), GB2312 character set.
    bool createAlternate();
    void destroy();
    HFONT handle() const { return font_; }
    bool exists() const { return font_ != nullptr; }
    // Sends the font to a dialog and then its children; nothing without a font.
    void applyTo(HWND dialog) const;

private:
    HFONT font_ = nullptr;
};

DialogFont& sharedDialogFont();

}  // namespace ui
