// An edit control with its own colours, font, character filter and context
// menu. Its colours are applied through the control-colour message the
// dialog hands back to it, for every kind of that message, so a read-only
// edit (which the system would paint in the dialog face colour) is painted
// in its own background colour.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/Controls.h"

// Decides which typed characters an edit accepts.
class CharacterFilter {
public:
    virtual ~CharacterFilter() = default;
    virtual bool accepts(UINT character) const = 0;
};

class CEditEx : public ui::Edit {
public:
    CEditEx();
    ~CEditEx() override;

    // Binding subclasses the control: its messages pass through this object.
    bool attach(HWND window) override;

    // Both return the previous colour.
    COLORREF setBackgroundColour(COLORREF colour);
    COLORREF setTextColour(COLORREF colour);
    COLORREF backgroundColour() const { return background_; }
    COLORREF textColour() const { return text_; }

    // Takes ownership; null removes the filter.
    void setFilter(std::unique_ptr<CharacterFilter> filter) { filter_ = std::move(filter); }
    const CharacterFilter* filter() const { return filter_.get(); }
    // A menu resource whose first submenu replaces the system's edit menu; 0
    // keeps the system's.
    void setContextMenu(UINT menuId) { contextMenu_ = menuId; }
    UINT contextMenu() const { return contextMenu_; }

    // A font of this height, normal weight, pitch-and-family byte and face.
    void setFont(int height, BYTE pitchAndFamily, const char* face);
    // A font of this description; nothing happens for null.
    void setFont(const LOGFONTA* description);
    HFONT font() const { return font_; }
    // Takes the colours and the font of another CEditEx.
    void copyLook(const CEditEx& other);

protected:
    // Makes the background brush again from the background colour.
    virtual void recreateBackgroundBrush();
    LRESULT windowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    HBRUSH reflectCtlColor(HDC dc, UINT kind) override;
    // A command of the context menu. The edit control itself ignores menu
    // commands, so they go on to the parent dialog.
    virtual void onMenuCommand(UINT id);

private:
    void applyFont(HFONT font);
    LRESULT showContextMenu(WPARAM wParam, LPARAM lParam);

    HBRUSH brush_ = nullptr;
    COLORREF background_;
    COLORREF text_;
    std::unique_ptr<CharacterFilter> filter_;
    HFONT font_ = nullptr;
    UINT contextMenu_ = 0;
};
