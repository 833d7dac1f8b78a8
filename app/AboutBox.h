// The About box, opened from the wizard's system menu: the program's icon,
// version and copyright, in the language file's words.
#pragma once

#include "ui/Dialog.h"
#include "ui/DialogFont.h"

namespace app {

class AboutBox : public ui::Dialog {
public:
    AboutBox();

    // Whether the box uses its own Chinese font; decided when it opens.
    bool alternateFont() const { return alternateFont_; }

protected:
    BOOL onInitDialog() override;
    void onDestroy() override;

private:
    bool alternateFont_ = false;
    // The box reads the language setting itself and makes its own font, so
    // it does not depend on the wizard's.
    ui::DialogFont font_;
};

}  // namespace app
