// The wizard's keys that stay inside the program: Enter and Escape on a
// page's control close nothing, Escape on the frame cancels, and a button
// pressed by its access key does not leave the focus on a page it hides.
// The walk of a whole installation by keys is the end-to-end tier's
// (winxp:KeyboardParallel, winxp:KeyboardUsbNumberChanged).
#include "WizardTestSupport.h"

#include <memory>

#include "resources/ResourceIds.h"

namespace {

class KeyboardTest : public wizardtest::WizardFixture {};

TEST_F(KeyboardTest, EnterAndEscapeOnAPageCloseNothingWhileEscapeOnTheFrameCancels) {
    std::unique_ptr<wizardtest::SoonAction> afterKeys;
    int pageAfterKeys = -1;
    // The keys as the box on the page would get them, through the wizard's message loop.
    INT_PTR result = runModal([&] {
        HWND box = printer.item(IDC_DEFAULT_PRINTER);
        PostMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
        // Timers come after the keys posted before them.
        afterKeys.reset(new wizardtest::SoonAction([&] {
            pageAfterKeys = frame.currentPage();
            PostMessageW(frame.item(IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0);
        }));
    });
    EXPECT_EQ(pageAfterKeys, app::WizardFrame::kPrinterPage);  // -1: the page's Escape cancelled
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(KeyboardTest, BackByItsAccessKeyTakesTheFocusOffThePageItHides) {
    ASSERT_TRUE(start());
    press(IDOK);
    press(IDOK);
    ASSERT_EQ(frame.currentPage(), app::WizardFrame::kOsPage);
    HWND marked = nullptr;
    for (int id : {IDC_OS_2000, IDC_OS_XP, IDC_OS_2003, IDC_OS_VISTA, IDC_OS_WIN7, IDC_OS_2008})
        if (IsWindowEnabled(osPage.item(id))) marked = osPage.item(id);
    ASSERT_NE(marked, nullptr);
    SetFocus(marked);
    ASSERT_EQ(GetFocus(), marked);
    // What Alt+B does: the button's command, with the focus left where it was.
    SendMessageW(frame.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_BACK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(frame.item(IDC_BACK)));
    ASSERT_EQ(frame.currentPage(), app::WizardFrame::kModePage);
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    EXPECT_TRUE(IsWindowVisible(focus)) << "the focus stayed on the hidden page";
    EXPECT_EQ(GetParent(focus), frame.hwnd());
}

}  // namespace
