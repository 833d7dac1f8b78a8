// The dialog framework with real windows under Wine: modal runs and how they
// end, pages that ignore Enter and Escape, pre-translation, data exchange in
// both directions and its failures, control-colour reflection, the shared
// font, the two message boxes (through the simulated Windows) and threads.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "config/MessageBoxes.h"
#include "os/Os.h"
#include "os/sim/SimOs.h"
#include "resources/ResourceIds.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/DialogFont.h"
#include "ui/Thread.h"
#include "ui/Timer.h"

namespace {

using uitest::ScriptedDialog;

void postKey(HWND window, WPARAM key) { PostMessageW(window, WM_KEYDOWN, key, 1); }

// --- Modal runs ------------------------------------------------------------

TEST(UiModalLoopTest, EnterOnTheDefaultButtonSavesAndEndsWithOk) {
    ScriptedDialog about(IDD_ABOUTBOX);
    int saves = 0;
    about.exchange = [&](ui::DataExchange& dx) { saves += dx.saving() ? 1 : 0; };
    about.init = [](ScriptedDialog& d) {
        SetFocus(d.item(IDOK));
        postKey(d.item(IDOK), VK_RETURN);
        return FALSE;
    };
    EXPECT_EQ(about.doModal(), IDOK);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(about.hwnd(), nullptr);  // the run destroys its window
}

TEST(UiModalLoopTest, EscapeAndTheCloseBoxEndTheFrameWithCancel) {
    ScriptedDialog escaped(IDD_WIZARD);
    escaped.init = [](ScriptedDialog& d) {
        postKey(d.item(IDCANCEL), VK_ESCAPE);
        return TRUE;
    };
    EXPECT_EQ(escaped.doModal(), IDCANCEL);

    ScriptedDialog closed(IDD_WIZARD);
    closed.init = [](ScriptedDialog& d) {
        PostMessageW(d.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        return TRUE;
    };
    EXPECT_EQ(closed.doModal(), IDCANCEL);
}

TEST(UiModalLoopTest, AnEndFromATimerEndsTheRunWithItsResultAndTheOwnerIsDisabledMeanwhile) {
    uitest::Host owner;
    ui::TimerLog timers;
    ScriptedDialog progress(IDD_PROGRESS);
    bool ownerEnabledDuringRun = true;
    HWND ownerOfDialog = nullptr;
    progress.init = [](ScriptedDialog& d) {
        d.setTimer(1, 20);
        return TRUE;
    };
    progress.timer = [&](ScriptedDialog& d, UINT_PTR id) {
        ownerEnabledDuringRun = IsWindowEnabled(owner.hwnd()) != FALSE;
        ownerOfDialog = GetWindow(d.hwnd(), GW_OWNER);
        if (id == 1) d.endDialog(42);
    };
    EXPECT_EQ(progress.doModal(owner.hwnd()), 42);
    EXPECT_FALSE(ownerEnabledDuringRun);
    EXPECT_EQ(ownerOfDialog, owner.hwnd());
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
    ASSERT_FALSE(timers.entries().empty());
    EXPECT_EQ(timers.entries()[0].id, 1u);
    EXPECT_EQ(timers.entries()[0].milliseconds, 20u);
    EXPECT_TRUE(timers.entries()[0].started);
}

TEST(UiModalLoopTest, EndingDuringInitialisationNeverShowsTheDialog) {
    uitest::Host owner;
    ScriptedDialog frame(IDD_WIZARD);
    bool everShown = false;
    frame.shown = [&](bool on) { everShown = everShown || on; };
    frame.init = [](ScriptedDialog& d) {
        d.endDialog(IDCANCEL);
        return FALSE;
    };
    EXPECT_EQ(frame.doModal(owner.hwnd()), IDCANCEL);
    EXPECT_FALSE(everShown);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
}

TEST(UiModalLoopTest, AFailedSaveKeepsTheDialogOpen) {
    ScriptedDialog about(IDD_ABOUTBOX);
    int okPresses = 0;
    about.exchange = [](ui::DataExchange& dx) {
        if (dx.saving()) dx.fail(IDC_ABOUT_VERSION);
    };
    about.init = [](ScriptedDialog& d) {
        PostMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        PostMessageW(d.hwnd(), WM_APP, 0, 0);
        return TRUE;
    };
    about.command = [&](int id, int) {
        okPresses += id == IDOK;
        return false;
    };
    about.message = [&](UINT message, WPARAM, LPARAM) {
        if (message != WM_APP) return false;
        about.endDialog(5);
        return true;
    };
    EXPECT_EQ(about.doModal(), 5);
    EXPECT_EQ(okPresses, 1);
}

TEST(UiModalLoopTest, AMissingTemplateCreatesNothing) {
    ScriptedDialog missing(4711);
    EXPECT_EQ(missing.doModal(), -1);
    EXPECT_FALSE(missing.create(nullptr));
}

// --- Pages inside a modal frame -----------------------------------------------

class RecordingPage : public ui::Page {
public:
    using ui::Page::Page;
    std::vector<int> commands;

protected:
    bool onCommand(int id, int code, HWND control) override {
        commands.push_back(id);
        return ui::Page::onCommand(id, code, control);
    }
};

// A tooltip whose window reports what is relayed to it.
class CountingToolTip : public ui::ToolTip {
public:
    std::vector<MSG> relayed;

protected:
    LRESULT windowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == TTM_RELAYEVENT) relayed.push_back(*reinterpret_cast<const MSG*>(lParam));
        return ui::ToolTip::windowProc(message, wParam, lParam);
    }
};

class RelayingPage : public ui::Page {
public:
    RelayingPage() : ui::Page(IDD_PORT_PAGE) {}
    CountingToolTip tip;

    bool preTranslateMessage(MSG& message) override {
        tip.relayEvent(message);
        return ui::Page::preTranslateMessage(message);
    }

protected:
    BOOL onInitDialog() override {
        ui::Page::onInitDialog();
        tip.create(hwnd());
        tip.subclass(tip.hwnd());
        tip.activate(true);
        tip.addTool(item(IDC_RASTER), IDS_F1_HELP_TIP);
        return TRUE;
    }
};

TEST(UiPageTest, EnterAndEscapeInsideAPageReachItButCloseNothing) {
    ScriptedDialog frame(IDD_WIZARD);
    RecordingPage page(IDD_MODE_PAGE);
    bool pageAliveAtEnd = false;
    frame.init = [&](ScriptedDialog& d) {
        EXPECT_TRUE(page.create(d.hwnd()));
        page.show(SW_SHOW);
        SetFocus(page.item(IDC_TYPICAL));
        postKey(page.item(IDC_TYPICAL), VK_RETURN);
        postKey(page.item(IDC_TYPICAL), VK_ESCAPE);
        PostMessageW(d.hwnd(), WM_APP, 0, 0);
        return FALSE;
    };
    frame.message = [&](UINT message, WPARAM, LPARAM) {
        if (message != WM_APP) return false;
        pageAliveAtEnd = page.hwnd() != nullptr && IsWindowVisible(page.hwnd());
        frame.endDialog(77);
        return true;
    };
    EXPECT_EQ(frame.doModal(), 77);
    EXPECT_EQ(page.commands, (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_TRUE(pageAliveAtEnd);
}

TEST(UiPageTest, APageSeesMessagesForItsControlsFirstAndRelaysThemToItsTooltip) {
    ScriptedDialog frame(IDD_WIZARD);
    RelayingPage page;
    HWND raster = nullptr;
    std::wstring tipText;
    frame.init = [&](ScriptedDialog& d) {
        page.create(d.hwnd());
        page.show(SW_SHOW);
        raster = page.item(IDC_RASTER);
        EnableWindow(raster, TRUE);
        PostMessageW(raster, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
        PostMessageW(d.hwnd(), WM_APP, 0, 0);
        return TRUE;
    };
    frame.message = [&](UINT message, WPARAM, LPARAM) {
        if (message != WM_APP) return false;
        tipText = page.tip.toolText(raster);
        frame.endDialog(IDOK);
        return true;
    };
    EXPECT_EQ(frame.doModal(), IDOK);
    bool mouseMoveRelayed = false;
    for (const MSG& m : page.tip.relayed)
        mouseMoveRelayed = mouseMoveRelayed || (m.hwnd == raster && m.message == WM_MOUSEMOVE);
    EXPECT_TRUE(mouseMoveRelayed);
    EXPECT_EQ(tipText, L"按“F1”查看帮助");
}

// --- Data exchange -------------------------------------------------------------

struct PrinterChoice {
    BOOL isDefault = FALSE;
    int category = -1;
    std::string model;
    int ticket = -1;
};

class UiDataExchangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(page_.create(host_.hwnd()));
        receipts_.attach(page_.item(IDC_RECEIPT_LIST));
        tickets_.attach(page_.item(IDC_TICKET_LIST));
        for (const char* m : {"Model AB", "Model A", "Model C"}) receipts_.addString(m);
        for (const char* m : {"T1", "T2"}) tickets_.addString(m);
        page_.exchange = [this](ui::DataExchange& dx) {
            dx.check(IDC_DEFAULT_PRINTER, choice_.isDefault);
            dx.radio(IDC_RECEIPT, choice_.category);
            dx.comboText(IDC_RECEIPT_LIST, choice_.model);
            dx.comboIndex(IDC_TICKET_LIST, choice_.ticket);
        };
    }
    int checkedCategory() {
        int checked = -1, index = 0;
        for (int id : {IDC_RECEIPT, IDC_TICKET, IDC_LABEL, IDC_EMBEDDED}) {
            if (IsDlgButtonChecked(page_.hwnd(), id) == BST_CHECKED) checked = checked == -1 ? index : -2;
            ++index;
        }
        return checked;
    }

    uitest::Host host_;
    ScriptedDialog page_{IDD_PRINTER_PAGE};
    ui::ComboBox receipts_, tickets_;
    PrinterChoice choice_;
};

TEST_F(UiDataExchangeTest, FieldsGoToTheControlsAndTheUsersChoiceComesBack) {
    choice_ = {TRUE, 2, "Model A", 1};
    ASSERT_TRUE(page_.updateData(false));
    EXPECT_EQ(IsDlgButtonChecked(page_.hwnd(), IDC_DEFAULT_PRINTER), BST_CHECKED);
    EXPECT_EQ(checkedCategory(), 2);
    // The exact text wins over an earlier item that only begins with it.
    EXPECT_EQ(receipts_.currentSelection(), 1);
    EXPECT_EQ(tickets_.currentSelection(), 1);

    // What a user does: untick, pick another category, other items.
    SendMessageW(page_.item(IDC_DEFAULT_PRINTER), BM_CLICK, 0, 0);
    SendMessageW(page_.item(IDC_EMBEDDED), BM_CLICK, 0, 0);
    receipts_.setCurrentSelection(2);
    tickets_.setCurrentSelection(0);
    ASSERT_TRUE(page_.updateData(true));
    EXPECT_EQ(choice_.isDefault, FALSE);
    EXPECT_EQ(choice_.category, 3);
    EXPECT_EQ(choice_.model, "Model C");
    EXPECT_EQ(choice_.ticket, 0);

    // And back again unchanged.
    ASSERT_TRUE(page_.updateData(false));
    EXPECT_EQ(checkedCategory(), 3);
    EXPECT_EQ(receipts_.currentSelection(), 2);
}

TEST_F(UiDataExchangeTest, NothingChosenIsMinusOneAndEmptyBothWays) {
    choice_ = {FALSE, -1, "", -1};
    ASSERT_TRUE(page_.updateData(false));
    EXPECT_EQ(checkedCategory(), -1);
    EXPECT_EQ(receipts_.currentSelection(), CB_ERR);
    EXPECT_EQ(tickets_.currentSelection(), CB_ERR);
    choice_ = {TRUE, 1, "x", 1};
    ASSERT_TRUE(page_.updateData(true));
    EXPECT_EQ(choice_.isDefault, FALSE);
    EXPECT_EQ(choice_.category, -1);
    EXPECT_EQ(choice_.model, "");
    EXPECT_EQ(choice_.ticket, -1);
}

TEST_F(UiDataExchangeTest, ABufferTooSmallFailsTheRunAndStopsTheExchangesAfterIt) {
    char model[8] = "unset";
    BOOL isDefault = 7;
    page_.exchange = [&](ui::DataExchange& dx) {
        dx.comboText(IDC_RECEIPT_LIST, model, sizeof model);
        dx.check(IDC_DEFAULT_PRINTER, isDefault);
    };
    receipts_.setCurrentSelection(0);  // "Model AB" needs 9 bytes
    ui::DataExchange dx(page_, true);
    page_.exchange(dx);
    EXPECT_TRUE(dx.failed());
    EXPECT_EQ(dx.failedId(), IDC_RECEIPT_LIST);
    EXPECT_STREQ(model, "");
    EXPECT_EQ(isDefault, 7);  // not reached
    EXPECT_FALSE(page_.updateData(true));

    receipts_.setCurrentSelection(2);  // "Model C" fits
    EXPECT_TRUE(page_.updateData(true));
    EXPECT_STREQ(model, "Model C");
    EXPECT_EQ(isDefault, BST_UNCHECKED);
}

TEST_F(UiDataExchangeTest, ImpossibleExchangesAreReported) {
    struct Case {
        const char* what;
        std::function<void(ui::DataExchange&)> exchange;
        bool save;
        int failedId;
    };
    int outOfRange = 7, anyIndex = 0, tooFar = 5;
    BOOL box = FALSE;
    std::vector<Case> cases = {
        {"a control the template does not have", [&](ui::DataExchange& dx) { dx.check(4242, box); }, true, 4242},
        {"a radio index beyond the group", [&](ui::DataExchange& dx) { dx.radio(IDC_RECEIPT, outOfRange); }, false,
         IDC_RECEIPT},
        {"a group that does not start at a radio button",
         [&](ui::DataExchange& dx) { dx.radio(IDC_DEFAULT_PRINTER, anyIndex); }, true, IDC_DEFAULT_PRINTER},
        {"a list index beyond the list", [&](ui::DataExchange& dx) { dx.comboIndex(IDC_TICKET_LIST, tooFar); },
         false, IDC_TICKET_LIST},
    };
    CheckRadioButton(page_.hwnd(), IDC_RECEIPT, IDC_EMBEDDED, IDC_TICKET);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        page_.exchange = c.exchange;
        ui::DataExchange dx(page_, c.save);
        c.exchange(dx);
        EXPECT_TRUE(dx.failed());
        EXPECT_EQ(dx.failedId(), c.failedId);
        EXPECT_FALSE(page_.updateData(c.save));
    }
    // A refused load leaves the controls as they were.
    EXPECT_EQ(checkedCategory(), 1);
}

TEST_F(UiDataExchangeTest, BindingAControlMakesItsObjectFindableFromTheHandle) {
    ui::ComboBox bound;
    page_.exchange = [&](ui::DataExchange& dx) { dx.control(IDC_LABEL_LIST, bound); };
    ASSERT_TRUE(page_.updateData(false));
    EXPECT_EQ(bound.hwnd(), page_.item(IDC_LABEL_LIST));
    EXPECT_EQ(ui::Window::fromHandle(page_.item(IDC_LABEL_LIST)), &bound);
    ASSERT_TRUE(page_.updateData(true));  // already bound: stays so
    EXPECT_EQ(bound.hwnd(), page_.item(IDC_LABEL_LIST));
}

// --- Control colours -----------------------------------------------------------

class RedStatic : public ui::Static {
public:
    RedStatic() : brush_(CreateSolidBrush(RGB(255, 0, 0))) {}
    ~RedStatic() override { DeleteObject(brush_); }
    HBRUSH reflectCtlColor(HDC dc, UINT kind) override {
        kinds.push_back(kind);
        SetBkMode(dc, TRANSPARENT);
        return brush_;
    }
    std::vector<UINT> kinds;

private:
    HBRUSH brush_;
};

class GreenDialog : public ScriptedDialog {
public:
    GreenDialog() : ScriptedDialog(IDD_MODE_PAGE), brush_(CreateSolidBrush(RGB(0, 255, 0))) {}
    ~GreenDialog() override { DeleteObject(brush_); }

protected:
    HBRUSH onCtlColor(HDC dc, HWND control, UINT kind) override {
        if (kind != CTLCOLOR_STATIC || GetDlgCtrlID(control) != IDC_REMARKS_LABEL) return nullptr;
        SetBkMode(dc, TRANSPARENT);
        return brush_;
    }

private:
    HBRUSH brush_;
};

TEST(UiControlColourTest, ABoundControlPaintsWithItsOwnBrushTheOthersAskTheDialog) {
    uitest::Host host;
    GreenDialog page;
    RedStatic remark;
    page.exchange = [&](ui::DataExchange& dx) { dx.control(IDC_REMARK1, remark); };
    ASSERT_TRUE(page.create(host.hwnd()));
    page.show(SW_SHOW);
    SetDlgItemTextW(page.hwnd(), IDC_REMARK1, L"");
    SetDlgItemTextW(page.hwnd(), IDC_REMARKS_LABEL, L"");

    uitest::Picture red(page.item(IDC_REMARK1));
    EXPECT_EQ(red.count(RGB(255, 0, 0)), red.width() * red.height());
    ASSERT_FALSE(remark.kinds.empty());
    EXPECT_EQ(remark.kinds.back(), static_cast<UINT>(CTLCOLOR_STATIC));

    uitest::Picture green(page.item(IDC_REMARKS_LABEL));
    EXPECT_EQ(green.count(RGB(0, 255, 0)), green.width() * green.height());
}

// --- Shared dialog font --------------------------------------------------------

TEST(UiSharedFontTest, HoldsNothingUntilCreatedThenReachesTheDialogAndEveryChild) {
    uitest::Host host;
    ScriptedDialog page(IDD_PORT_PAGE);
    std::vector<std::pair<WPARAM, LPARAM>> dialogFonts;
    page.message = [&](UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_SETFONT) dialogFonts.emplace_back(wParam, lParam);
        return false;
    };
    ASSERT_TRUE(page.create(host.hwnd()));
    dialogFonts.clear();  // the template's own, at creation
    HWND anyChild = page.item(IDC_PORT_LIST);
    HFONT templateFont = reinterpret_cast<HFONT>(SendMessageW(anyChild, WM_GETFONT, 0, 0));

    ui::DialogFont font;
    EXPECT_FALSE(font.exists());
    font.applyTo(page.hwnd());
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(anyChild, WM_GETFONT, 0, 0)), templateFont);
    EXPECT_TRUE(dialogFonts.empty());

    ASSERT_TRUE(font.createAlternate());
    LOGFONTW description = {};
    GetObjectW(font.handle(), sizeof description, &description);
    EXPECT_EQ(description.lfHeight, 13);
    EXPECT_EQ(description.lfWeight, FW_NORMAL);
    EXPECT_EQ(description.lfCharSet, GB2312_CHARSET);
    EXPECT_EQ(description.lfPitchAndFamily, 32);
    EXPECT_STREQ(description.lfFaceName, L"宋体");

    font.applyTo(page.hwnd());
    // The dialog itself gets it with redraw on (Wine's dialogs keep answering
    // WM_GETFONT with the template's font), then every child.
    ASSERT_EQ(dialogFonts.size(), 1u);
    EXPECT_EQ(dialogFonts[0].first, reinterpret_cast<WPARAM>(font.handle()));
    EXPECT_EQ(dialogFonts[0].second, TRUE);
    int children = 0;
    for (HWND c = GetWindow(page.hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT), ++children)
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0)), font.handle()) << GetDlgCtrlID(c);
    EXPECT_EQ(children, 16);

    // The process-wide one is a single object.
    EXPECT_EQ(&ui::sharedDialogFont(), &ui::sharedDialogFont());
}

// --- Message boxes -------------------------------------------------------------

class UiMessageBoxTest : public ::testing::Test {
protected:
    UiMessageBoxTest() : scope_(sim_) { sim_.machine().modulePath = "C:\\MEDIUM\\Setup.EXE"; }
    ~UiMessageBoxTest() override { ui::setMainWindow(nullptr); }

    os::sim::SimOs sim_;
    os::ScopedSystem scope_;
};

TEST_F(UiMessageBoxTest, TheApplicationBoxIsCaptionedWithTheProgramsNameAndOwnedByTheMainWindow) {
    ScriptedDialog frame(IDD_WIZARD);
    ASSERT_TRUE(frame.create(nullptr));
    ui::setMainWindow(&frame);
    EXPECT_EQ(ui::appMessageBox("Nonsupport"), IDOK);
    sim_.desktop().answer(IDNO);
    EXPECT_EQ(ui::appMessageBox("Really?", MB_YESNO), IDNO);
    EXPECT_EQ(ui::appMessageBox("Stop", MB_OK | MB_ICONSTOP), IDOK);

    auto& boxes = sim_.desktop().messageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.owner, frame.hwnd());
        EXPECT_TRUE(box.hasCaption);
        EXPECT_EQ(box.caption, "Setup");
    }
    EXPECT_EQ(boxes[0].text, "Nonsupport");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION | MB_APPLMODAL));
    EXPECT_EQ(boxes[1].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_APPLMODAL));
    EXPECT_EQ(boxes[2].type, static_cast<UINT>(MB_OK | MB_ICONSTOP | MB_APPLMODAL));

    // Before the wizard has a window, the box has no owner.
    ui::setMainWindow(nullptr);
    ui::appMessageBox("early");
    EXPECT_EQ(boxes.back().owner, nullptr);
}

TEST_F(UiMessageBoxTest, TheWizardBoxIsOwnedByItsWindowWithOkAndTheProgramsName) {
    ScriptedDialog frame(IDD_WIZARD);
    ASSERT_TRUE(frame.create(nullptr));
    frame.messageBox("no side bitmap");
    auto& boxes = sim_.desktop().messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, frame.hwnd());
    EXPECT_EQ(boxes[0].text, "no side bitmap");
    EXPECT_TRUE(boxes[0].hasCaption);  // not "Error"
    EXPECT_EQ(boxes[0].caption, "Setup");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
}

TEST_F(UiMessageBoxTest, TheProgramsNameIsItsFileNameWithoutDirectoryAndExtension) {
    struct Case {
        std::string path;
        std::string name;
    };
    std::string deep = "C:\\" + std::string(300, 'd') + "\\driver setup.exe";
    for (const Case& c : std::vector<Case>{{"C:\\MEDIUM\\setup.exe", "setup"},
                                          {"D:\\a.b\\Installer", "Installer"},
                                          {"E:\\x\\my.setup.exe", "my.setup"},
                                          {deep, "driver setup"}}) {
        sim_.machine().modulePath = c.path;
        EXPECT_EQ(app::applicationName(), c.name) << c.path;
    }
    // Without the program's path the boxes still carry a name.
    sim_.faults().fail("GetModuleFileNameA", ERROR_ACCESS_DENIED);
    EXPECT_EQ(app::applicationName(), "setup");
}

// --- Threads -------------------------------------------------------------------

TEST(UiThreadTest, AWorkerRunsAtOnceOnItsOwnThreadAtNormalPriority) {
    ui::Thread worker;
    DWORD ranOn = 0;
    int priority = -99;
    ASSERT_TRUE(worker.start([&] {
        ranOn = GetCurrentThreadId();
        priority = GetThreadPriority(GetCurrentThread());
    }));
    ASSERT_TRUE(worker.wait(10000));
    EXPECT_EQ(ranOn, worker.id());
    EXPECT_NE(ranOn, GetCurrentThreadId());
    EXPECT_EQ(priority, THREAD_PRIORITY_NORMAL);
    EXPECT_FALSE(worker.start([] {}));  // one thread per object

    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(ui::startWorker([done] { SetEvent(done); }));
    EXPECT_EQ(WaitForSingleObject(done, 10000), WAIT_OBJECT_0);
    CloseHandle(done);
}

}  // namespace
