// A static control with its own text and background colours, its own font,
// optional edges, blinking text or background, a hover cursor, and opening
// its text through the shell when clicked. Colours and font are applied
// through the control-colour message the dialog hands back to it. Every
// setter returns the control, so calls can be chained.
#pragma once

#include <windows.h>

#include <string>

#include "ui/Controls.h"

class CStaticEx : public ui::Static {
public:
    enum BlinkMode { kNoBlink = 0, kBlinkText = 1, kBlinkBackground = 2 };
    static const UINT_PTR kBlinkTimer = 1;
    static const UINT kBlinkPeriod = 500;  // milliseconds

    CStaticEx();
    ~CStaticEx() override;

    // Binding subclasses the control: its messages pass through this object.
    bool attach(HWND window) override;

    CStaticEx& setTextColour(COLORREF colour);
    CStaticEx& setBackgroundColour(COLORREF colour);
    CStaticEx& setCharacterHeight(int height);
    CStaticEx& setFaceName(const char* face);
    CStaticEx& setBold(bool on);
    CStaticEx& setUnderline(bool on);
    CStaticEx& setItalic(bool on);
    CStaticEx& setSunkenEdge(bool on);
    CStaticEx& setBorder(bool on);
    CStaticEx& setText(const char* text);
    CStaticEx& setBlinkText(bool on);
    CStaticEx& setBlinkBackground(bool on);
    CStaticEx& setClickToOpen(bool on);
    CStaticEx& setHoverCursor(HCURSOR cursor);

    COLORREF textColour() const { return text_; }
    HFONT font() const { return font_; }
    const LOGFONTW& fontDescription() const { return description_; }
    int blinkMode() const { return blinkMode_; }
    bool blinkPhase() const { return phase_; }
    bool blinking() const { return timerRunning_; }
    bool clickToOpen() const { return clickToOpen_; }

protected:
    LRESULT windowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    HBRUSH reflectCtlColor(HDC dc, UINT kind) override;

private:
    void recreateFont();
    void redraw() const;
    void stopBlinking();
    void startBlinking(int mode);
    void changeStyle(int index, LONG bits, bool on);

    COLORREF text_;
    HBRUSH background_;
    HBRUSH alternate_;
    LOGFONTW description_;
    HFONT font_ = nullptr;
    std::string saved_;
    bool phase_ = false;
    bool timerRunning_ = false;
    bool clickToOpen_ = true;
    int blinkMode_ = kNoBlink;
    HCURSOR hover_ = nullptr;
};
