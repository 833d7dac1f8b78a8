#include "ui/DialogFont.h"

#include <cstring>

#include "ui/Dialog.h"
#include "ui/ScreenScale.h"

namespace ui {

bool DialogFont::create(const LOGFONTW& description) {
    destroy();
    font_ = CreateFontIndirectW(&description);
    return font_ != nullptr;
}

bool DialogFont::createAlternate() {
    LOGFONTW description;
    std::memset(&description, 0, sizeof description);
    // 13 pixels at 96 dots per inch, as many points at any other.
    description.lfHeight = scaledForScreen(13);
    description.lfWeight = FW_NORMAL;
    description.lfCharSet = GB2312_CHARSET;
    description.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;  // 32
    // Named in UTF-16 so the face is found whatever the ANSI code page is.
    static const wchar_t kSimSun[] = L"\u5b8b\u4f53";
    std::memcpy(description.lfFaceName, kSimSun, sizeof kSimSun);
    return create(description);
}

void DialogFont::destroy() {
    if (font_) DeleteObject(font_);
    font_ = nullptr;
}

void DialogFont::applyTo(HWND dialog) const { applyFont(dialog, font_); }

DialogFont& sharedDialogFont() {
    static DialogFont font;
    return font;
}

}  // namespace ui
