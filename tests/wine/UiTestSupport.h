// Helpers of the dialog framework's tests under Wine: a top-level window to
// hold child dialogs, a dialog whose handlers a test can set, and a
// screen-independent picture of a window's client area.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "ui/Dialog.h"

namespace uitest {

// A plain top-level window, shown, that child templates can be created in.
class Host {
public:
    Host();
    ~Host();
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_;
};

// A dialog whose handlers are set by the test.
class ScriptedDialog : public ui::Dialog {
public:
    using ui::Dialog::Dialog;
    using ui::Dialog::updateData;

    std::function<BOOL(ScriptedDialog&)> init;
    std::function<void(ui::DataExchange&)> exchange;
    std::function<void(ScriptedDialog&, UINT_PTR)> timer;
    std::function<bool(int id, int code)> command;
    std::function<void(bool shown)> shown;
    std::function<bool(UINT message, WPARAM, LPARAM)> message;

protected:
    BOOL onInitDialog() override {
        BOOL result = ui::Dialog::onInitDialog();
        return init ? init(*this) : result;
    }
    void doDataExchange(ui::DataExchange& exchange_) override {
        if (exchange) exchange(exchange_);
    }
    void onTimer(UINT_PTR id) override {
        if (timer) timer(*this, id);
    }
    bool onCommand(int id, int code, HWND control) override {
        if (command && command(id, code)) return true;
        return ui::Dialog::onCommand(id, code, control);
    }
    void onShowWindow(bool show, UINT) override {
        if (shown) shown(show);
    }
    bool onMessage(UINT message_, WPARAM wParam, LPARAM lParam, INT_PTR& result) override {
        if (!message || !message(message_, wParam, lParam)) return false;
        result = TRUE;
        return true;
    }
};

// The client area of a window as the window paints it (WM_PRINTCLIENT into
// a bitmap), so what is read does not depend on what covers the screen.
class Picture {
public:
    explicit Picture(HWND window);
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF at(int x, int y) const;
    int count(COLORREF colour) const;
    // How many rows hold at least one pixel other than `background`.
    int inkRows(COLORREF background) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<DWORD> pixels_;
};

// A control's rectangle in its parent's client coordinates.
RECT rectInParent(HWND control);
// A rectangle in dialog units turned into pixels of this dialog.
RECT dialogUnits(HWND dialog, int x, int y, int width, int height);

}  // namespace uitest
