// Thin wrappers over the standard controls the dialogs use: each is a handle
// and a few one-line operations. Texts are in the ANSI code page unless the
// name says W.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ui/Window.h"

namespace ui {

class Button : public Control {
public:
    int checkState() const;  // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE
    bool isChecked() const { return checkState() == BST_CHECKED; }
    void setCheck(int state) const;
    void click() const;
};

class ComboBox : public Control {
public:
    int addString(const char* text) const;
    int insertString(int index, const char* text) const;
    int deleteString(int index) const;
    void resetContent() const;
    int count() const;
    int currentSelection() const;
    // CB_ERR when the index is out of range; -1 clears the selection.
    int setCurrentSelection(int index) const;
    // Searches without regard to case, from the item after `start` (-1: from
    // the first), wrapping round; CB_ERR when nothing matches.
    int findString(int start, const char* prefix) const;
    int findStringExact(int start, const char* text) const;
    int selectString(int start, const char* prefix) const;
    // The text of an item, whatever its length; empty for a bad index.
    std::string itemText(int index) const;
    std::wstring itemTextW(int index) const;
    // Copies an item's text into a fixed buffer; false (and an empty buffer)
    // when the index is bad or the text does not fit.
    bool itemText(int index, char* buffer, size_t size) const;
    // The selected item's text, empty without a selection.
    std::string selectedText() const;
};

class Edit : public Control {
public:
    void setReadOnly(bool on) const;
    bool isReadOnly() const;
    void limitText(int characters) const;
    void setSelection(int start, int end) const;
};

class Static : public Control {
public:
    HICON setIcon(HICON icon) const;
    HBITMAP setBitmap(HBITMAP bitmap) const;
};

class ProgressBar : public Control {
public:
    void setRange(int low, int high) const;
    // Returns the previous position.
    int setPosition(int position) const;
    int position() const;
    int lower() const;
    int upper() const;
};

// A tooltip window for the controls of one parent. Tools are identified by
// their window; the parent relays mouse messages with relayEvent.
class ToolTip : public Control {
public:
    ~ToolTip() override;
    bool create(HWND parent);
    void destroy();
    void activate(bool on) const;
    int setMaxTipWidth(int pixels) const;
    bool addTool(HWND tool, const wchar_t* text) const;
    // The tip text from a string resource of the program.
    bool addTool(HWND tool, UINT stringId) const;
    void relayEvent(const MSG& message) const;
    int toolCount() const;
    std::wstring toolText(HWND tool) const;
};

// Loads a string resource of the program; empty when there is none.
std::wstring loadString(UINT id);

// The module the framework loads templates, strings and menus from: the
// program itself unless set otherwise.
HINSTANCE resourceModule();
void setResourceModule(HINSTANCE module);

// Registers the common control classes (progress bar, tooltip) once.
void initCommonControls();

}  // namespace ui
