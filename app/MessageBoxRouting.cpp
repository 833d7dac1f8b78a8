#include "app/MessageBoxRouting.h"

#include "config/MessageBoxes.h"
#include "ui/Application.h"

namespace app {

void routeMessageBoxes() {
    setApplicationBoxOwner(&ui::applicationBoxOwner);
    ui::setMessageBoxes({&applicationMessageBox, &wizardMessageBox});
}

}  // namespace app
