// CEditEx and CStaticEx on real controls of the program's templates: what
// they paint (read back from the control's own painting), their fonts,
// filter, context menu, blinking, edges, cursor and click.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "os/Os.h"
#include "os/sim/SimOs.h"
#include "pages/CEditEx.h"
#include "pages/CStaticEx.h"
#include "resources/ResourceIds.h"
#include "ui/Timer.h"

namespace {

using uitest::Picture;
using uitest::ScriptedDialog;

const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kPink = RGB(255, 202, 253);

// --- CEditEx ---------------------------------------------------------------

class CEditExTest : public ::testing::Test {
protected:
    void SetUp() override {
        page_.exchange = [this](ui::DataExchange& dx) { dx.control(IDC_AGREEMENT_TEXT, edit_); };
        ASSERT_TRUE(page_.create(host_.hwnd()));
        page_.show(SW_SHOW);
        ASSERT_EQ(edit_.hwnd(), page_.item(IDC_AGREEMENT_TEXT));
    }
    // The colour inside the edit, away from its text.
    COLORREF inside() {
        Picture picture(page_.item(IDC_AGREEMENT_TEXT));
        return picture.at(picture.width() - 25, picture.height() / 2);
    }

    uitest::Host host_;
    ScriptedDialog page_{IDD_AGREEMENT_PAGE};
    CEditEx edit_;
};

TEST_F(CEditExTest, AReadOnlyTextIsPaintedInTheWindowColourNotTheDialogFace) {
    ASSERT_NE(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(inside(), GetSysColor(COLOR_WINDOW));
    // Text in the window-text colour: the colour appears with the text,
    // whatever face draws it.
    EXPECT_EQ(Picture(edit_.hwnd()).count(GetSysColor(COLOR_WINDOWTEXT)), 0);
    SetWindowTextW(edit_.hwnd(), L"MMMMMMMM");
    EXPECT_GT(Picture(edit_.hwnd()).count(GetSysColor(COLOR_WINDOWTEXT)), 0);

    // The same edit without CEditEx is painted in the dialog face colour.
    edit_.detach();
    EXPECT_EQ(inside(), GetSysColor(COLOR_BTNFACE));
}

// Tab into the read-only text leaves it unselected: the dialog selects the
// whole of an edit that asks for it, and a text to read does not.
TEST_F(CEditExTest, AReadOnlyTextIsNotSelectedWhenTheKeyboardReachesIt) {
    SetWindowTextW(edit_.hwnd(), L"Terms of use");
    SendMessageW(page_.hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit_.hwnd()), TRUE);
    DWORD start = 1, end = 1;
    SendMessageW(edit_.hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, end);
}

TEST_F(CEditExTest, ColoursChangeAndReturnTheirPreviousValue) {
    EXPECT_EQ(edit_.setBackgroundColour(RGB(0, 0, 128)), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(edit_.setTextColour(RGB(255, 255, 0)), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(Picture(edit_.hwnd()).count(RGB(255, 255, 0)), 0);
    SetWindowTextW(edit_.hwnd(), L"MMMMMMMM");
    Picture picture(edit_.hwnd());
    EXPECT_EQ(inside(), RGB(0, 0, 128));
    EXPECT_GT(picture.count(RGB(255, 255, 0)), 0);
    EXPECT_EQ(edit_.setBackgroundColour(RGB(1, 2, 3)), RGB(0, 0, 128));
}

// Accepts letters only.
class LettersOnly : public CharacterFilter {
public:
    bool accepts(UINT c) const override { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
};

TEST_F(CEditExTest, AFilterDropsTheCharactersItRejects) {
    edit_.setReadOnly(false);
    for (wchar_t c : std::wstring(L"a1b")) SendMessageW(edit_.hwnd(), WM_CHAR, c, 1);
    EXPECT_EQ(edit_.textW(), L"a1b");
    SetWindowTextW(edit_.hwnd(), L"");
    edit_.setFilter(std::make_unique<LettersOnly>());
    for (wchar_t c : std::wstring(L"a1b2")) SendMessageW(edit_.hwnd(), WM_CHAR, c, 1);
    EXPECT_EQ(edit_.textW(), L"ab");
}

TEST_F(CEditExTest, FontsFromPartsFromADescriptionAndCopiedFromAnother) {
    edit_.setFont(20, FF_SWISS, "Arial");
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(edit_.hwnd(), WM_GETFONT, 0, 0));
    ASSERT_EQ(font, edit_.font());
    LOGFONTA description = {};
    GetObjectA(font, sizeof description, &description);
    EXPECT_EQ(description.lfHeight, 20);
    EXPECT_EQ(description.lfWeight, FW_NORMAL);
    EXPECT_EQ(description.lfPitchAndFamily, FF_SWISS);
    EXPECT_STREQ(description.lfFaceName, "Arial");

    edit_.setFont(nullptr);  // nothing happens
    EXPECT_EQ(edit_.font(), font);

    // A second CEditEx on another page takes this one's look.
    ScriptedDialog other(IDD_AGREEMENT_PAGE);
    CEditEx copy;
    other.exchange = [&](ui::DataExchange& dx) { dx.control(IDC_AGREEMENT_TEXT, copy); };
    ASSERT_TRUE(other.create(host_.hwnd()));
    edit_.setBackgroundColour(RGB(10, 20, 30));
    edit_.setTextColour(RGB(40, 50, 60));
    copy.copyLook(edit_);
    EXPECT_EQ(copy.backgroundColour(), RGB(10, 20, 30));
    EXPECT_EQ(copy.textColour(), RGB(40, 50, 60));
    ASSERT_NE(copy.font(), nullptr);
    EXPECT_NE(copy.font(), edit_.font());  // its own font object
    LOGFONTA copied = {};
    GetObjectA(copy.font(), sizeof copied, &copied);
    EXPECT_EQ(copied.lfHeight, 20);
    EXPECT_STREQ(copied.lfFaceName, "Arial");
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(copy.hwnd(), WM_GETFONT, 0, 0)), copy.font());

    copy.copyLook(copy);  // itself: nothing
    EXPECT_EQ(copy.backgroundColour(), RGB(10, 20, 30));
}

// The items of the popup menu on screen, read while it is open; the menu is
// then closed. Runs as a thread timer inside the menu's own loop.
std::vector<std::wstring> openMenuItems;

void CALLBACK readOpenMenu(HWND, UINT, UINT_PTR id, DWORD) {
    HWND popup = FindWindowW(L"#32768", nullptr);
    if (popup == nullptr) return;
    KillTimer(nullptr, id);
    auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, 0x01E1 /* MN_GETHMENU */, 0, 0));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        openMenuItems.push_back(text);
    }
    EndMenu();
}

std::vector<std::wstring> contextMenuOf(HWND edit) {
    openMenuItems.clear();
    SetTimer(nullptr, 0, 50, &readOpenMenu);
    RECT r;
    GetWindowRect(edit, &r);
    SendMessageW(edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit), MAKELPARAM(r.left + 10, r.top + 10));
    return openMenuItems;
}

TEST_F(CEditExTest, AContextMenuResourceReplacesTheSystemsEditMenu) {
    std::vector<std::wstring> system = contextMenuOf(edit_.hwnd());
    EXPECT_GT(system.size(), 2u);

    edit_.setContextMenu(900);
    EXPECT_EQ(contextMenuOf(edit_.hwnd()), (std::vector<std::wstring>{L"&Select all", L"&Copy"}));

    edit_.setContextMenu(999);  // no such menu: the system's
    EXPECT_EQ(contextMenuOf(edit_.hwnd()).size(), system.size());

    // Its commands go on to the dialog.
    std::vector<int> commands;
    page_.command = [&](int id, int) {
        commands.push_back(id);
        return true;
    };
    SendMessageW(edit_.hwnd(), WM_COMMAND, MAKEWPARAM(902, 0), 0);
    EXPECT_EQ(commands, std::vector<int>{902});
}

TEST_F(CEditExTest, DestroyingTheObjectLeavesAWorkingControl) {
    HWND window = edit_.hwnd();
    edit_.detach();
    auto original = GetWindowLongPtrW(window, GWLP_WNDPROC);
    {
        CEditEx shortLived;
        ASSERT_TRUE(shortLived.attach(window));
        EXPECT_NE(GetWindowLongPtrW(window, GWLP_WNDPROC), original);
    }
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), original);
    EXPECT_EQ(ui::Window::fromHandle(window), nullptr);
    SetWindowTextW(window, L"still works");
    EXPECT_EQ(GetWindowTextLengthW(window), 11);
}

// --- CStaticEx -------------------------------------------------------------

class CStaticExTest : public ::testing::Test {
protected:
    void SetUp() override {
        page_.exchange = [this](ui::DataExchange& dx) { dx.control(IDC_DRIVER_MESSAGE, message_); };
        ASSERT_TRUE(page_.create(host_.hwnd()));
        page_.show(SW_SHOW);
        ASSERT_EQ(message_.hwnd(), page_.item(IDC_DRIVER_MESSAGE));
        message_.show(SW_SHOW);
    }
    // Styled as the port page styles its driver message.
    void styleAsThePortPage() {
        message_.setTextColour(kBlue).setBackgroundColour(kPink).setCharacterHeight(14).setFaceName("Arial");
    }

    uitest::Host host_;
    ScriptedDialog page_{IDD_PORT_PAGE};
    CStaticEx message_;
};

TEST_F(CStaticExTest, PaintsItsTextColourOnItsBackgroundInItsFont) {
    styleAsThePortPage();
    message_.setText("USB driver missing");
    Picture picture(message_.hwnd());
    EXPECT_GT(picture.count(kPink), picture.width() * picture.height() / 2);
    EXPECT_GT(picture.count(kBlue), 0);
    EXPECT_EQ(picture.count(GetSysColor(COLOR_BTNFACE)), 0);

    LOGFONTW font = {};
    GetObjectW(message_.font(), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -14);
    EXPECT_STREQ(font.lfFaceName, L"Arial");
    // The font is the one painted: twice the height inks about twice the rows.
    int small = picture.inkRows(kPink);
    message_.setCharacterHeight(28);
    int large = Picture(message_.hwnd()).inkRows(kPink);
    EXPECT_GE(small, 8);
    EXPECT_LE(small, 14);
    EXPECT_GE(large, 2 * small - 4);
}

TEST_F(CStaticExTest, KeepsItsLookWhenHiddenAndShownAgain) {
    styleAsThePortPage();
    message_.setText("USB driver missing");
    page_.show(SW_HIDE);
    message_.show(SW_HIDE);
    page_.show(SW_SHOW);
    message_.show(SW_SHOW);
    Picture picture(message_.hwnd());
    EXPECT_GT(picture.count(kPink), picture.width() * picture.height() / 2);
    EXPECT_GT(picture.count(kBlue), 0);
}

TEST_F(CStaticExTest, WeightSlantAndUnderlineRemakeTheFont) {
    message_.setBold(true).setItalic(true).setUnderline(true);
    LOGFONTW font = {};
    GetObjectW(message_.font(), sizeof font, &font);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_TRUE(font.lfItalic);
    EXPECT_TRUE(font.lfUnderline);
    message_.setBold(false).setItalic(false).setUnderline(false);
    GetObjectW(message_.font(), sizeof font, &font);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_FALSE(font.lfItalic);
    EXPECT_FALSE(font.lfUnderline);
    // A face name longer than a face can be is cut, not copied past the end.
    message_.setFaceName(std::string(200, 'F').c_str());
    EXPECT_EQ(std::wstring(message_.fontDescription().lfFaceName), std::wstring(LF_FACESIZE - 1, L'F'));
}

TEST_F(CStaticExTest, EdgesAndBorderChangeTheFrame) {
    RECT plain;
    GetClientRect(message_.hwnd(), &plain);
    message_.setSunkenEdge(true);
    EXPECT_NE(GetWindowLongW(message_.hwnd(), GWL_EXSTYLE) & WS_EX_STATICEDGE, 0);
    RECT sunken;
    GetClientRect(message_.hwnd(), &sunken);
    EXPECT_LT(sunken.right, plain.right);
    message_.setSunkenEdge(false).setBorder(true);
    EXPECT_EQ(GetWindowLongW(message_.hwnd(), GWL_EXSTYLE) & WS_EX_STATICEDGE, 0);
    EXPECT_NE(GetWindowLongW(message_.hwnd(), GWL_STYLE) & WS_BORDER, 0);
    RECT bordered;
    GetClientRect(message_.hwnd(), &bordered);
    EXPECT_EQ(bordered.right, plain.right - 2);
    message_.setBorder(false);
    GetClientRect(message_.hwnd(), &bordered);
    EXPECT_EQ(bordered.right, plain.right);
}

TEST_F(CStaticExTest, BlinkingTextEmptiesAndRestoresItOnTimerOne) {
    ui::TimerLog timers;
    message_.setText("Attention");
    message_.setBlinkText(true);
    ASSERT_EQ(timers.entries().size(), 1u);
    EXPECT_EQ(timers.entries()[0].window, message_.hwnd());
    EXPECT_EQ(timers.entries()[0].id, 1u);
    EXPECT_EQ(timers.entries()[0].milliseconds, 500u);

    SendMessageW(message_.hwnd(), WM_TIMER, 1, 0);
    EXPECT_EQ(message_.text(), "");
    SendMessageW(message_.hwnd(), WM_TIMER, 1, 0);
    EXPECT_EQ(message_.text(), "Attention");
    SendMessageW(message_.hwnd(), WM_TIMER, 1, 0);
    EXPECT_EQ(message_.text(), "");

    // Stopped while the text is away: it comes back, the timer goes.
    message_.setBlinkText(false);
    EXPECT_EQ(message_.text(), "Attention");
    EXPECT_FALSE(message_.blinking());
    EXPECT_FALSE(timers.entries().back().started);
    EXPECT_EQ(timers.entries().back().id, 1u);
    EXPECT_FALSE(KillTimer(message_.hwnd(), 1));
}

TEST_F(CStaticExTest, BlinkingBackgroundAlternatesBrushesAndStopsOnItsOwnColour) {
    styleAsThePortPage();
    ui::TimerLog timers;
    message_.setBlinkBackground(true);
    ASSERT_FALSE(timers.entries().empty());
    EXPECT_EQ(timers.entries().back().milliseconds, 500u);
    Picture first(message_.hwnd());
    EXPECT_EQ(first.count(GetSysColor(COLOR_BTNFACE)), first.width() * first.height());
    SendMessageW(message_.hwnd(), WM_TIMER, 1, 0);
    Picture second(message_.hwnd());
    EXPECT_EQ(second.count(kPink), second.width() * second.height());
    SendMessageW(message_.hwnd(), WM_TIMER, 1, 0);
    // Stopped in the alternate phase, it shows its own background again.
    message_.setBlinkBackground(false);
    Picture stopped(message_.hwnd());
    EXPECT_EQ(stopped.count(kPink), stopped.width() * stopped.height());
    EXPECT_EQ(message_.blinkMode(), CStaticEx::kNoBlink);
}

TEST_F(CStaticExTest, AClickOpensTheTextThroughTheShellOnlyWithClickToOpen) {
    os::sim::SimOs sim;
    os::ScopedSystem scope(sim);
    message_.setText("http://example.invalid/driver");
    // Without SS_NOTIFY (as in the template) the mouse passes through to the page.
    EXPECT_EQ(SendMessageW(message_.hwnd(), WM_NCHITTEST, 0, 0), HTTRANSPARENT);
    message_.setClickToOpen(true);
    EXPECT_NE(GetWindowLongW(message_.hwnd(), GWL_STYLE) & SS_NOTIFY, 0);
    EXPECT_EQ(SendMessageW(message_.hwnd(), WM_NCHITTEST, 0, 0), HTCLIENT);

    SendMessageW(message_.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    auto& runs = sim.desktop().shellRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].owner, nullptr);
    EXPECT_EQ(runs[0].verb, "open");
    EXPECT_EQ(runs[0].file, "http://example.invalid/driver");
    EXPECT_EQ(runs[0].parameters, "");
    EXPECT_EQ(runs[0].directory, "");
    EXPECT_EQ(runs[0].show, SW_SHOWNORMAL);

    message_.setClickToOpen(false);
    EXPECT_EQ(GetWindowLongW(message_.hwnd(), GWL_STYLE) & SS_NOTIFY, 0);
}

TEST_F(CStaticExTest, AHoverCursorIsSetOverTheControl) {
    HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    SetCursor(cross);
    EXPECT_FALSE(SendMessageW(message_.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(message_.hwnd()),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    message_.setHoverCursor(hand);
    EXPECT_TRUE(SendMessageW(message_.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(message_.hwnd()),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), hand);
}

}  // namespace
