#include "pages/ProgressWindow.h"

#include "config/TextTable.h"
#include "os/DisplaySettings.h"
#include "pages/ProgressAnimation.h"
#include "resources/ResourceIds.h"
#include "ui/DialogFont.h"
#include "ui/ScreenScale.h"

namespace pages {
namespace {

const UINT_PTR kAnimationTimer = 1;

}  // namespace

ProgressWindow::ProgressWindow() : ui::Dialog(IDD_PROGRESS) {}

BOOL ProgressWindow::onInitDialog() {
    ui::Dialog::onInitDialog();
    if (alternateFont_) ui::sharedDialogFont().applyTo(hwnd());
    bar_.setRange(0, 100);
    setTimer(kAnimationTimer, 100);
    return TRUE;
}

void ProgressWindow::doDataExchange(ui::DataExchange& exchange) { exchange.control(IDC_PROGRESS, bar_); }

void ProgressWindow::onTimer(UINT_PTR id) {
    if (id != kAnimationTimer || animating_) return;
    animating_ = true;
    animate();
}

// The window's thread takes no input while the animation runs; it serves
// only what other threads send its windows (ProgressAnimation).
void ProgressWindow::animate() {
    ProgressAnimation(installStatus_, targetOs_, [this](int position) { bar_.setPosition(position); })
        .run();
    onOK();
}

bool ProgressWindow::onPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd(), &paint);
    RECT client;
    GetClientRect(hwnd(), &client);
    // Copied out before any other lookup of this thread reuses the buffer.
    std::string text = app::TextTable("Progress").GetText("Wait");
    HFONT font = CreateFontA(ui::scaledForScreen(20), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "System");
    HGDIOBJ previous = SelectObject(dc, font);
    RECT area = {client.left, client.top, client.right, client.bottom * 2 / 3};
    SetBkMode(dc, TRANSPARENT);
    // Our blue, unless the user's high contrast colours rule the screen.
    SetTextColor(dc, os::highContrastOn() ? GetSysColor(COLOR_BTNTEXT) : RGB(0, 51, 153));
    DrawTextA(dc, text.c_str(), -1, &area, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    SelectObject(dc, previous);
    DeleteObject(font);
    EndPaint(hwnd(), &paint);
    return true;
}

}  // namespace pages
