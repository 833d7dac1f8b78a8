// Dialogs on our templates, in place of the application framework's dialog
// class. A derived dialog overrides the handlers it needs; a handler that
// returns false (or is not overridden) leaves the message to the default
// dialog processing.
//
// Modal runs work like the framework we replace: the dialog is created
// modeless, its owner is disabled, and our own message loop runs until the
// dialog ends; every message is first offered to the objects on the way from
// its window up to the dialog (pre-translation, innermost first; a dialog's
// default is IsDialogMessage for keyboard and mouse input), and dispatched
// only when none of them took it.
#pragma once

#include <windows.h>

#include "ui/DataExchange.h"
#include "ui/Window.h"

namespace ui {

class Dialog : public Window {
public:
    explicit Dialog(UINT templateId);
    ~Dialog() override;

    UINT templateId() const { return templateId_; }

    // Creates the window modeless as a child or owned window of `parent`.
    bool create(HWND parent);
    // Runs the dialog modally and returns how it ended: the result given to
    // endDialog, or -1 when it could not be created. A null owner means the
    // application's main window.
    INT_PTR doModal(HWND owner = nullptr);
    bool isModalRunning() const { return continueModal_; }
    // Ends a modal run with a result (the run returns once the handler that
    // called this returns); a modeless dialog is only hidden.
    void endDialog(INT_PTR result);
    virtual bool destroyWindow();

    // Runs the data exchange in one direction; false when an exchange failed.
    bool updateData(bool save);

    HWND item(int id) const { return GetDlgItem(hwnd_, id); }
    bool setItemText(int id, const char* text) const;
    bool enableItem(int id, bool on) const;
    bool showItem(int id, bool show) const;
    bool checkRadio(int firstId, int lastId, int checkId) const;
    // The wizard message box: owned by this dialog, OK button.
    int messageBox(const char* text) const;
    UINT_PTR setTimer(UINT_PTR id, UINT milliseconds) const;
    bool killTimer(UINT_PTR id) const;

    bool preTranslateMessage(MSG& message) override;

protected:
    // WM_INITDIALOG, after the template's list items are filled in. The
    // default loads the fields into the controls and lets the system set the
    // focus (true).
    virtual BOOL onInitDialog();
    virtual void doDataExchange(DataExchange& exchange);
    // WM_COMMAND; the default sends IDOK to onOK and IDCANCEL to onCancel.
    virtual bool onCommand(int id, int code, HWND control);
    // Enter, the default button: save the fields and end with IDOK.
    virtual void onOK();
    // Escape, the close box: end with IDCANCEL.
    virtual void onCancel();
    virtual void onShowWindow(bool show, UINT status);
    virtual void onTimer(UINT_PTR id);
    virtual bool onPaint();
    virtual bool onSysCommand(UINT command, LPARAM lParam);
    virtual bool onHelp(HELPINFO* info);
    // WM_CTLCOLOR* of a child that is not bound to a reflecting control.
    virtual HBRUSH onCtlColor(HDC dc, HWND control, UINT kind);
    virtual HICON onQueryDragIcon();
    virtual void onDestroy();
    // Every message, before the handlers above; true with `result` set when
    // it is handled.
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND createWindow(HWND parent);
    void fillTemplateLists();

    UINT templateId_;
    bool continueModal_ = false;
    INT_PTR result_ = 0;
};

// A page of the wizard: a modeless child dialog in which Enter and Escape do
// nothing (they would end the page, not the wizard). Its template is a
// control parent (DS_CONTROL), so Tab and the arrows move through its
// controls and its parent's as through one dialog; Enter and Escape stay the
// page's, where they would otherwise press the parent's default or Cancel.
class Page : public Dialog {
public:
    using Dialog::Dialog;

    bool preTranslateMessage(MSG& message) override;

protected:
    void onOK() override {}
    void onCancel() override {}
};

// Sends a font (WM_SETFONT, redraw on) to a dialog and then to each child,
// from the first child through each next sibling.
void applyFont(HWND dialog, HFONT font);

// Handles the messages waiting in this thread's queue, with the same
// pre-translation as a modal run up to `root`; for dialogs shown modeless.
void pumpMessages(HWND root);

}  // namespace ui
