// Dialog data exchange: moves values between a dialog's fields and its
// controls, in one direction per run. A dialog lists its exchanges once, in
// its doDataExchange, and the same list serves both directions. The first
// exchange that cannot be made marks the run failed, puts the focus on that
// control and turns every later exchange of the run into nothing, so the
// caller can keep the dialog (or page) open.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class Dialog;
class Window;

class DataExchange {
public:
    DataExchange(Dialog& dialog, bool save) : dialog_(dialog), save_(save) {}

    // true: controls to fields; false: fields to controls.
    bool saving() const { return save_; }
    bool failed() const { return failed_; }
    // The control the run failed on (0 when it did not fail).
    int failedId() const { return failedId_; }
    // Marks the run failed at a control; a dialog's own validation calls it too.
    void fail(int id);

    // Binds an object to the control with this id (in either direction), unless
    // it is already bound to it.
    void control(int id, Window& control);
    // A check box's state: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    void check(int id, BOOL& value);
    // A radio group given by its first button: the index of the checked button
    // among the group's radio buttons, -1 for none.
    void radio(int firstId, int& value);
    // The index of a combo box's selection, -1 for none.
    void comboIndex(int id, int& index);
    // A combo box's text. Saving takes the selected item's text (or the edit
    // text of an editable combo box); it fails when the text does not fit the
    // buffer, which is then left empty. Loading selects the item with exactly
    // that text, else the first beginning with it; with none, an editable
    // combo box gets the text and a drop-down list is left without selection.
    void comboText(int id, char* buffer, size_t size);
    void comboText(int id, std::string& text);
    // A window text (edit, static); fails like comboText when it does not fit.
    void text(int id, char* buffer, size_t size);
    void text(int id, std::string& text);

private:
    // The control, or null after marking the run failed when there is none.
    HWND prepare(int id);
    std::string comboTextOf(HWND combo) const;
    void selectComboText(HWND combo, const std::string& text) const;

    Dialog& dialog_;
    bool save_;
    bool failed_ = false;
    int failedId_ = 0;
};

}  // namespace ui
