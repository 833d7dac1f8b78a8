#include "pages/ProgressWindow.h"

#include "app/TextTable.h"
#include "os/Os.h"
#include "resources/ResourceIds.h"
#include "ui/DialogFont.h"

namespace pages {
namespace {

const UINT_PTR kAnimationTimer = 1;
enum { kRunning = 0, kFailed = 1, kSucceeded = 2 };

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

// The pauses go through the system layer, so that the simulated clock keeps
// them; the window's thread handles no other message meanwhile.
void ProgressWindow::step(int position, DWORD pause) {
    os::sys().Sleep(pause);
    bar_.setPosition(position);
}

void ProgressWindow::animate() {
    int n = 0;
    for (;;) {
        // Windows 98/Me: the window does not wait for the worker; the install
        // command does.
        if (targetOs_ == 0 && n == 90) break;
        int status = installStatus_.load();
        if (status == kFailed) {
            for (; n > 0; --n) step(n, 10);
            bar_.setPosition(0);
            os::sys().Sleep(100);
            break;
        }
        if (status == kSucceeded) {
            for (; n < 100; ++n) step(n, 10);
            os::sys().Sleep(100);
            break;
        }
        if (n >= 90) n = 90;
        bar_.setPosition(n % 100);
        os::sys().Sleep(80);
        ++n;
    }
    onOK();
}

bool ProgressWindow::onPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd(), &paint);
    RECT client;
    GetClientRect(hwnd(), &client);
    // Copied out before any other lookup of this thread reuses the buffer.
    std::string text = app::TextTable("Progress").GetText("Wait");
    HFONT font = CreateFontA(20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "System");
    HGDIOBJ previous = SelectObject(dc, font);
    RECT area = {client.left, client.top, client.right, client.bottom * 2 / 3};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 51, 153));
    DrawTextA(dc, text.c_str(), -1, &area, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    SelectObject(dc, previous);
    DeleteObject(font);
    EndPaint(hwnd(), &paint);
    return true;
}

}  // namespace pages
