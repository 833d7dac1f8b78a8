// High contrast: the colours the program picks itself (the USB driver
// message's blue on pink, the progress window's blue waiting text) give way
// to the system's, read from the pixels the windows paint. Wine cannot turn
// high contrast on, so the setting comes from the simulated Windows, which
// the program asks through the system layer.
#include "WizardTestSupport.h"

#include "pages/ProgressWindow.h"
#include "resources/ResourceIds.h"

namespace {

const COLORREF kPink = RGB(255, 202, 253), kMessageBlue = RGB(0, 0, 255), kWaitBlue = RGB(0, 51, 153);

int pixelsOf(HWND window, COLORREF colour) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    int count = 0;
    for (int x = 0; x < client.right; ++x)
        for (int y = 0; y < client.bottom; ++y) count += GetPixel(dc, x, y) == colour;
    ReleaseDC(window, dc);
    return count;
}

class HighContrastTest : public wizardtest::WizardFixture {
protected:
    // The port page's driver message, shown with a text.
    HWND driverMessage() {
        if (!start()) return nullptr;
        for (int i = 0; i < 3; ++i) press(IDOK);
        HWND message = port.item(IDC_DRIVER_MESSAGE);
        SetWindowTextA(message, "USB driver");
        ShowWindow(message, SW_SHOW);
        return message;
    }
    // The pixels of a colour in the progress window's waiting text, painted
    // before its animation starts.
    int waitingTextPixels(COLORREF colour) {
        pages::ProgressWindow progress;
        if (!progress.create(nullptr)) return -1;
        progress.show(SW_SHOW);
        int count = pixelsOf(progress.hwnd(), colour);
        progress.destroyWindow();
        return count;
    }
};

TEST_F(HighContrastTest, OffTheProgramsOwnColoursShow) {
    HWND message = driverMessage();
    ASSERT_NE(message, nullptr);
    EXPECT_GT(pixelsOf(message, kPink), 0);
    EXPECT_GT(pixelsOf(message, kMessageBlue), 0);
    EXPECT_GT(waitingTextPixels(kWaitBlue), 0);
}

TEST_F(HighContrastTest, OnTheSystemsColoursStandInstead) {
    sim.desktop().highContrast = true;
    HWND message = driverMessage();
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(pixelsOf(message, kPink), 0);
    EXPECT_EQ(pixelsOf(message, kMessageBlue), 0);
    EXPECT_GT(pixelsOf(message, GetSysColor(COLOR_BTNTEXT)), 0);
    EXPECT_EQ(waitingTextPixels(kWaitBlue), 0);
    EXPECT_GT(waitingTextPixels(GetSysColor(COLOR_BTNTEXT)), 0);
}

}  // namespace
