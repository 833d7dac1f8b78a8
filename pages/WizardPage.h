// What every page of the wizard shares: it is a child dialog of the wizard
// frame that ignores Enter and Escape, and it may be asked to use the
// program's shared (Chinese) dialog font.
#pragma once

#include "config/TextTable.h"
#include "ui/Dialog.h"
#include "ui/DialogFont.h"

namespace pages {

class WizardPage : public ui::Page {
public:
    using ui::Page::Page;

    // Set before the page's window is created.
    void setAlternateFont(bool on) { alternateFont_ = on; }
    bool alternateFont() const { return alternateFont_; }

    // F1 is the wizard's, wherever the focus is: the key goes on to the frame
    // instead of being handled as the page's own dialog key.
    bool preTranslateMessage(MSG& message) override {
        if (isHelpKey(message)) return false;
        return ui::Page::preTranslateMessage(message);
    }
    static bool isHelpKey(const MSG& message) {
        return message.message == WM_KEYDOWN && message.wParam == VK_F1;
    }

protected:
    // A help request that reaches the page goes on to the wizard, as Windows
    // passes it from a child to its parent (Wine does not).
    bool onHelp(HELPINFO* info) override {
        HWND frame = GetParent(hwnd());
        if (frame == nullptr) return false;
        SendMessageW(frame, WM_HELP, 0, reinterpret_cast<LPARAM>(info));
        return true;
    }
    // Sends the shared dialog font to the page and each of its children, when
    // the page is flagged for it and the font exists.
    void applySharedFont() const {
        if (alternateFont_) ui::sharedDialogFont().applyTo(hwnd());
    }
    // A control's text from the language file.
    void setItemTextFrom(const app::TextTable& texts, int id, const char* key) const {
        setItemText(id, texts.GetText(key));
    }

private:
    bool alternateFont_ = false;
};

}  // namespace pages
