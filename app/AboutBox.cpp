#include "app/AboutBox.h"

#include "config/TextTable.h"
#include "config/DriverConfig.h"
#include "resources/ResourceIds.h"

namespace app {

AboutBox::AboutBox() : ui::Dialog(IDD_ABOUTBOX) {}

BOOL AboutBox::onInitDialog() {
    ui::Dialog::onInitDialog();
    alternateFont_ = config::setupFlag("LANGUAGE") == 0;
    if (alternateFont_ && font_.createAlternate()) font_.applyTo(hwnd());
    TextTable texts("About");
    setItemText(IDC_ABOUT_VERSION, texts.GetText("Version"));
    setItemText(IDC_ABOUT_COPYRIGHT, texts.GetText("Copyright"));
    setItemText(IDOK, texts.GetText("OK"));
    setText(texts.GetText("Caption"));
    return TRUE;
}

void AboutBox::onDestroy() { font_.destroy(); }

}  // namespace app
