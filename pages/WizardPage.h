// What every page of the wizard shares: it is a child dialog of the wizard
// frame that ignores Enter and Escape, and it may be asked to use the
// program's shared (Chinese) dialog font.
#pragma once

#include "app/TextTable.h"
#include "ui/Dialog.h"
#include "ui/DialogFont.h"

namespace pages {

class WizardPage : public ui::Page {
public:
    using ui::Page::Page;

    // Set before the page's window is created.
    void setAlternateFont(bool on) { alternateFont_ = on; }
    bool alternateFont() const { return alternateFont_; }

protected:
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
