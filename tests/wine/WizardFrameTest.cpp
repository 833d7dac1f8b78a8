// The wizard frame with its real pages on a simulated Windows: the page
// order and its buttons with and without the agreement, the checks made on
// leaving the printer and OS pages (typical-only rule, target systems, baud
// preset), the choices captured for the install, the ways the wizard ends at
// start, and its window: system menu, About box, icon, side picture, help.
#include "WizardTestSupport.h"

#include <algorithm>

#include "app/Captions.h"
#include "resources/ResourceIds.h"
#include "ui/DialogFont.h"

namespace {

using os::sim::Machine;
using wizardtest::portSection;
using wizardtest::text;

class WizardFrameTest : public wizardtest::WizardFixture {
protected:
    using wizardtest::WizardFixture::WizardFixture;
    std::string forwardText() { return itemText(frame, IDOK); }
    // Forward from the printer page to the OS page.
    void toOsPage() {
        press(IDOK);
        press(IDOK);
        ASSERT_EQ(frame.currentPage(), app::WizardFrame::kOsPage);
    }
};

// --- The page order ------------------------------------------------------------

TEST_F(WizardFrameTest, WithoutTheAgreementItOpensOnThePrinterPageAndWalksToTheLastAndBack) {
    ASSERT_TRUE(start());
    EXPECT_EQ(frame.currentPage(), 1);
    EXPECT_FALSE(shown(agreement));
    EXPECT_TRUE(shown(printer));
    EXPECT_FALSE(enabled(IDC_BACK));
    EXPECT_TRUE(enabled(IDOK));
    EXPECT_EQ(itemText(frame, IDC_BACK), text("Setup", "Back"));
    EXPECT_EQ(forwardText(), text("Setup", "Next"));
    EXPECT_EQ(itemText(frame, IDCANCEL), text("Setup", "Cancel"));
    EXPECT_EQ(frame.text(), text("Setup", "Caption"));
    EXPECT_EQ(itemText(frame, IDC_HELP_HINT), text("Setup", "Help"));
    // Each page words itself from the language file when it is shown.
    EXPECT_EQ(itemText(printer, IDC_SELECT_GROUP), text("Series", "Select"));
    EXPECT_EQ(itemText(printer, IDC_EMBEDDED), text("Series", "Embedded"));
    EXPECT_EQ(itemText(printer, IDC_DEFAULT_PRINTER), text("Series", "Default"));

    // Every page lies on the page area.
    RECT area;
    GetWindowRect(frame.item(IDC_PAGE_AREA), &area);
    for (ui::Dialog* page : std::vector<ui::Dialog*>{&agreement, &printer, &mode, &osPage, &port}) {
        RECT placed;
        GetWindowRect(page->hwnd(), &placed);
        EXPECT_TRUE(EqualRect(&placed, &area)) << page->templateId();
    }

    const std::vector<ui::Dialog*> pagesInOrder = {&agreement, &printer, &mode, &osPage, &port};
    for (int expected = 2; expected <= 4; ++expected) {
        press(IDOK);
        EXPECT_EQ(frame.currentPage(), expected);
        for (int i = 0; i < 5; ++i) EXPECT_EQ(shown(*pagesInOrder[i]), i == expected) << expected;
        EXPECT_TRUE(enabled(IDC_BACK));
        EXPECT_TRUE(enabled(IDOK));
    }
    EXPECT_EQ(forwardText(), text("Setup", "Install"));
    EXPECT_EQ(GetFocus(), frame.item(IDOK));

    press(IDC_BACK);
    EXPECT_EQ(frame.currentPage(), 3);
    EXPECT_EQ(forwardText(), text("Setup", "Next"));
    press(IDC_BACK);
    press(IDC_BACK);
    EXPECT_EQ(frame.currentPage(), 1);
    EXPECT_FALSE(enabled(IDC_BACK));  // the agreement is not part of this run
    EXPECT_TRUE(enabled(IDOK));
    press(IDC_BACK);
    EXPECT_EQ(frame.currentPage(), 1);
    EXPECT_FALSE(shown(agreement));
    EXPECT_EQ(itemText(mode, IDC_TYPE_GROUP), text("Mode", "Type"));
    EXPECT_EQ(itemText(mode, IDC_REMARKS_LABEL), text("Mode", "Remarks"));

    frame.DestroyPages();
    for (ui::Dialog* page : pagesInOrder) EXPECT_EQ(page->hwnd(), nullptr);
    EXPECT_NE(frame.hwnd(), nullptr);
}

TEST_F(WizardFrameTest, WithTheAgreementItOpensThereAndForwardFollowsAcceptAndReject) {
    writeFile("License.txt", "terms");
    ASSERT_TRUE(start(true));
    EXPECT_EQ(frame.currentPage(), 0);
    EXPECT_TRUE(shown(agreement));
    EXPECT_FALSE(enabled(IDC_BACK));
    EXPECT_FALSE(enabled(IDOK));
    EXPECT_TRUE(checked(agreement, IDC_REJECT));
    press(IDOK);  // refused while disabled
    EXPECT_EQ(frame.currentPage(), 0);

    EXPECT_EQ(itemText(agreement, IDC_AGREEMENT_GROUP), text("Legal", "Agreement"));
    EXPECT_EQ(itemText(agreement, IDC_ACCEPT), text("Legal", "Accept"));
    click(agreement, IDC_ACCEPT);
    EXPECT_TRUE(enabled(IDOK));
    click(agreement, IDC_REJECT);
    EXPECT_FALSE(enabled(IDOK));
    click(agreement, IDC_ACCEPT);
    press(IDOK);
    EXPECT_EQ(frame.currentPage(), 1);
    EXPECT_TRUE(enabled(IDC_BACK));
    EXPECT_TRUE(enabled(IDOK));

    press(IDOK);
    press(IDC_BACK);
    EXPECT_EQ(frame.currentPage(), 1);
    EXPECT_TRUE(enabled(IDC_BACK));  // the agreement lies behind
    press(IDC_BACK);
    EXPECT_EQ(frame.currentPage(), 0);
    EXPECT_FALSE(enabled(IDC_BACK));
    EXPECT_TRUE(enabled(IDOK));
    EXPECT_TRUE(checked(agreement, IDC_ACCEPT));
    EXPECT_EQ(GetFocus(), frame.item(IDOK));
}

TEST_F(WizardFrameTest, WithoutAnyModelForwardStaysDisabledAfterTheAgreement) {
    writeFile("License.txt", "terms");
    setupIni("[DEVICENAME]\r\nDEVICENUMBER=1\r\nDEVICENAME1=NoCategory\r\n");
    ASSERT_TRUE(start(true));
    click(agreement, IDC_ACCEPT);
    press(IDOK);
    EXPECT_EQ(frame.currentPage(), 1);
    EXPECT_FALSE(enabled(IDOK));
    SendMessageW(frame.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(frame.currentPage(), 1);
}

TEST_F(WizardFrameTest, ADataExchangeThatFailsKeepsThePageShown) {
    class Stubborn : public pages::WizardPage {
    public:
        Stubborn() : pages::WizardPage(IDD_MODE_PAGE) {}
        bool refuse = true;

    protected:
        void doDataExchange(ui::DataExchange& exchange) override {
            if (exchange.saving() && refuse) exchange.fail(IDC_TYPICAL);
        }
    } stubborn;
    frame.AddPage(app::kAgreementCaption, &agreement);
    frame.AddPage(app::kPrinterCaption, &printer);
    frame.AddPage(app::kModeCaption, &stubborn);
    frame.AddPage(app::kOsCaption, &osPage);
    ASSERT_TRUE(start());
    press(IDOK);
    ASSERT_EQ(frame.currentPage(), 2);
    EXPECT_FALSE(frame.SetActivePage(3));
    press(IDOK);
    press(IDC_BACK);
    EXPECT_EQ(frame.currentPage(), 2);
    EXPECT_TRUE(shown(stubborn));
    EXPECT_FALSE(shown(osPage));
    EXPECT_TRUE(messages().empty());
    stubborn.refuse = false;
    press(IDOK);
    EXPECT_EQ(frame.currentPage(), 3);
    frame.destroyWindow();
}

// --- Leaving the printer and OS pages ----------------------------------------

TEST_F(WizardFrameTest, AModelWithoutAdvancedSetupForcesTypicalUntilAnotherModelAllowsIt) {
    ASSERT_TRUE(start());
    press(IDOK);  // RP-80: advanced allowed
    EXPECT_TRUE(enabledOn(mode, IDC_ADVANCED));
    EXPECT_TRUE(checked(mode, IDC_TYPICAL));
    EXPECT_EQ(itemText(mode, IDC_REMARK1), text("Mode", "Note1"));
    EXPECT_FALSE(IsWindowVisible(mode.item(IDC_REMARK2)));
    click(mode, IDC_ADVANCED);
    EXPECT_EQ(mode.installMode(), 0);
    EXPECT_EQ(itemText(mode, IDC_REMARK1), text("Mode", "Note2"));
    EXPECT_EQ(itemText(mode, IDC_REMARK2), text("Mode", "Note3"));
    EXPECT_TRUE(IsWindowVisible(mode.item(IDC_REMARK2)));

    press(IDC_BACK);
    choose(printer, IDC_RECEIPT_LIST, 1);  // RP-58: typical only
    press(IDOK);
    EXPECT_FALSE(enabledOn(mode, IDC_ADVANCED));
    EXPECT_TRUE(checked(mode, IDC_TYPICAL));
    EXPECT_FALSE(checked(mode, IDC_ADVANCED));
    EXPECT_EQ(itemText(mode, IDC_REMARK1), text("Message", "IDS_TYPICAL_NOTES"));
    EXPECT_FALSE(IsWindowVisible(mode.item(IDC_REMARK2)));
    EXPECT_EQ(mode.installMode(), 1);

    press(IDC_BACK);
    choose(printer, IDC_RECEIPT_LIST, 0);
    press(IDOK);
    EXPECT_TRUE(enabledOn(mode, IDC_ADVANCED));
    EXPECT_TRUE(checked(mode, IDC_TYPICAL));
    EXPECT_EQ(itemText(mode, IDC_REMARK1), text("Message", "IDS_TYPICAL_NOTES"));
    click(mode, IDC_TYPICAL);
    EXPECT_EQ(itemText(mode, IDC_REMARK1), text("Mode", "Note1"));

    // A category file that is missing allows the typical mode only.
    press(IDC_BACK);
    click(printer, IDC_LABEL);
    press(IDOK);
    EXPECT_FALSE(enabledOn(mode, IDC_ADVANCED));
    EXPECT_EQ(frame.printerCategory(), 2);
}

struct TargetCase {
    const char* name;
    Machine machine;
    const char* key;      // the model's support key for this system; null: none read
    const char* refusal;
};
void PrintTo(const TargetCase& c, std::ostream* out) { *out << c.name; }

class WizardTargetTest : public wizardtest::WizardFixture,
                         public ::testing::WithParamInterface<TargetCase> {
protected:
    WizardTargetTest() : wizardtest::WizardFixture(GetParam().machine) {}
};

TEST_P(WizardTargetTest, LeavingTheOsPageNeedsTheModelsSupportForTheTarget) {
    const TargetCase& c = GetParam();
    // A model that supports nothing but the one system under test, or everything.
    std::string keys = "AdvancedSetup=1\r\nBaudRate=9600";
    categoryFile(0, portSection("RP-80", keys));
    ASSERT_TRUE(start());
    press(IDOK);
    press(IDOK);
    press(IDOK);
    if (c.refusal) {
        EXPECT_EQ(frame.currentPage(), 3);
        EXPECT_TRUE(shown(osPage));
        EXPECT_FALSE(shown(port));
        EXPECT_EQ(messages(), std::vector<std::string>{text("Message", c.refusal)});
        EXPECT_TRUE(sim.desktop().messageBoxes().back().type & MB_ICONEXCLAMATION);  // the application box
        EXPECT_EQ(itemText(frame, IDOK), text("Setup", "Next"));
        categoryFile(0, portSection("RP-80", keys + "\r\n" + c.key + "=1"));
        press(IDOK);
    }
    EXPECT_EQ(frame.currentPage(), 4);
    EXPECT_EQ(messages().size(), c.refusal ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    EveryTarget, WizardTargetTest,
    ::testing::Values(TargetCase{"NT4", Machine::windowsNt4(), "SystemNTSupported", "IDS_NOTSUPPORTNT"},
                      TargetCase{"Server2003", Machine::windows2003(), "System2003Supported", "IDS_NOTSUPPORT2003"},
                      TargetCase{"Vista", Machine::windowsVista(), "SystemVistaSupported", "IDS_NOTSUPPORTVISTA"},
                      TargetCase{"Server2008", Machine::windows2008(), "System2008Supported", "IDS_NOTSUPPORT2008"},
                      TargetCase{"Windows7", Machine::windows7(), "SystemWin7Supported", "IDS_NOTSUPPORTWin7"},
                      TargetCase{"XP", Machine::windowsXp(), nullptr, nullptr},
                      TargetCase{"Windows2000", Machine::windows2000(), nullptr, nullptr}),
    [](const ::testing::TestParamInfo<TargetCase>& info) { return std::string(info.param.name); });

TEST_F(WizardFrameTest, TheBaudRateIsPresetOnTheWayToThePortPageAndAgainOnlyAfterAnotherModelChoice) {
    ASSERT_TRUE(start());
    toOsPage();
    press(IDOK);
    EXPECT_EQ(port.baudRate(), 9600);
    EXPECT_EQ(port.baudListSelection(), 5);

    // The user's choice survives a visit to the OS page.
    choose(port, IDC_BAUD_LIST, 9);
    EXPECT_EQ(port.baudRate(), 115200);
    press(IDC_BACK);
    press(IDOK);
    EXPECT_EQ(port.baudRate(), 115200);
    EXPECT_EQ(port.baudListSelection(), 9);

    // Back to the printer page: preset again, from the model now chosen.
    for (int i = 0; i < 3; ++i) press(IDC_BACK);
    click(printer, IDC_TICKET);  // TK-300 has no BaudRate
    toOsPage();
    press(IDOK);
    EXPECT_EQ(port.baudRate(), 0);
    EXPECT_EQ(port.baudListSelection(), 7);

    for (int i = 0; i < 3; ++i) press(IDC_BACK);
    click(printer, IDC_RECEIPT);
    toOsPage();
    press(IDOK);
    EXPECT_EQ(port.baudRate(), 9600);
}

TEST_F(WizardFrameTest, ReachingTheLastPageCapturesTheChoicesOfEveryPage) {
    ASSERT_TRUE(start());
    click(printer, IDC_RECEIPT);
    choose(printer, IDC_RECEIPT_LIST, 0);
    click(printer, IDC_DEFAULT_PRINTER);
    press(IDOK);
    click(mode, IDC_ADVANCED);
    press(IDOK);
    press(IDOK);
    ASSERT_EQ(frame.currentPage(), 4);
    const install::InstallSelection& s = frame.selection();
    EXPECT_EQ(s.category, 0);
    EXPECT_EQ(s.modelName, "RP-80");
    EXPECT_TRUE(s.defaultPrinter);
    EXPECT_EQ(s.installMode, 0);
    EXPECT_EQ(s.targetOs, 3);
    EXPECT_EQ(port.installMode(), 0);
    EXPECT_EQ(frame.setupPath(), "C:\\MEDIUM\\DRVCONFIG\\setup.ini");
    EXPECT_EQ(frame.categoryPath(), "C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini");
    EXPECT_EQ(frame.installStatusFlags(), 0);

    // A new arrival takes the choices anew.
    press(IDC_BACK);
    press(IDC_BACK);
    press(IDC_BACK);
    click(printer, IDC_DEFAULT_PRINTER);
    click(printer, IDC_TICKET);
    toOsPage();
    press(IDOK);
    EXPECT_EQ(frame.selection().category, 1);
    EXPECT_EQ(frame.selection().modelName, "TK-300");
    EXPECT_FALSE(frame.selection().defaultPrinter);
    EXPECT_EQ(frame.categoryPath(), "C:\\MEDIUM\\DRVCONFIG\\setup_Ticket.ini");
}

// --- How the wizard ends --------------------------------------------------------

struct StartCase {
    const char* name;
    Machine machine;
    bool loadLicense;
    std::function<void(wizardtest::WizardFixture&, os::sim::SimOs&)> arrange;
    const char* message;  // null: the wizard runs
};
void PrintTo(const StartCase& c, std::ostream* out) { *out << c.name; }

class WizardStartTest : public wizardtest::WizardFixture,
                        public ::testing::WithParamInterface<StartCase> {
protected:
    WizardStartTest() : wizardtest::WizardFixture(GetParam().machine) {}

public:
    void removePicture() { folder.removePicture(); }
    void licence(const std::string& content) { writeFile("License.txt", content); }
};

TEST_P(WizardStartTest, AFailedStartShowsItsOneMessageAndEndsTheWizardUnseen) {
    const StartCase& c = GetParam();
    c.arrange(*this, sim);
    addPages(c.loadLicense);
    bool ran = false;
    INT_PTR result = runModal([&] {
        ran = true;
        frame.endDialog(IDABORT);
    });
    if (!c.loadLicense) {
        for (const std::string& opened : sim.calls("CreateFileA"))
            EXPECT_EQ(opened.find("License.txt"), std::string::npos);
    }
    if (c.message == nullptr) {
        EXPECT_EQ(result, IDABORT);
        EXPECT_TRUE(messages().empty());
        return;
    }
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(ran);
    EXPECT_EQ(messages(), std::vector<std::string>{text("Message", c.message)});
    const auto& box = sim.desktop().messageBoxes()[0];
    EXPECT_NE(box.owner, nullptr);  // a wizard box: owned, OK only
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, WizardStartTest,
    ::testing::Values(
        StartCase{"SidePictureMissing", Machine::windowsXp(), false,
                  [](wizardtest::WizardFixture& f, os::sim::SimOs&) {
                      static_cast<WizardStartTest&>(f).removePicture();
                  },
                  "IDS_ERR_NOLEFT"},
        StartCase{"NotAnAdministrator", Machine::windowsXp(), false,
                  [](wizardtest::WizardFixture&, os::sim::SimOs& sim) { sim.machine().administrator = false; },
                  "IDS_ADMIN"},
        StartCase{"TokenUnreadable", Machine::windows7(), false,
                  [](wizardtest::WizardFixture&, os::sim::SimOs& sim) {
                      sim.faults().fail("GetTokenInformation", ERROR_ACCESS_DENIED);
                  },
                  "IDS_ADMIN"},
        StartCase{"NoAdministratorCheckOnNt4", Machine::windowsNt4(), false,
                  [](wizardtest::WizardFixture&, os::sim::SimOs& sim) { sim.machine().administrator = false; },
                  nullptr},
        StartCase{"NoAdministratorCheckOn98", Machine::windows98(), false,
                  [](wizardtest::WizardFixture&, os::sim::SimOs& sim) { sim.machine().administrator = false; },
                  nullptr},
        StartCase{"LicenceMissing", Machine::windowsXp(), true,
                  [](wizardtest::WizardFixture&, os::sim::SimOs&) {}, "IDS_ERR_NOLICENSE"},
        StartCase{"LicenceUnreadable", Machine::windowsXp(), true,
                  [](wizardtest::WizardFixture& f, os::sim::SimOs& sim) {
                      static_cast<WizardStartTest&>(f).licence("terms");
                      sim.faults().fail("ReadFile", ERROR_ACCESS_DENIED);
                  },
                  "IDS_ERR_NOLICENSE"},
        StartCase{"LicenceMissingAndNoPictureShowOnlyTheFirst", Machine::windowsXp(), true,
                  [](wizardtest::WizardFixture& f, os::sim::SimOs&) {
                      static_cast<WizardStartTest&>(f).removePicture();
                  },
                  "IDS_ERR_NOLICENSE"},
        StartCase{"LicenceNotLoadedWhenNotAsked", Machine::windowsXp(), false,
                  [](wizardtest::WizardFixture&, os::sim::SimOs&) {}, nullptr}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

TEST_F(WizardFrameTest, CancelTheCloseBoxAndEscapeEndTheWizardWithoutAQuestion) {
    std::vector<std::function<void(app::WizardFrame&)>> ways = {
        [](app::WizardFrame& f) { SendMessageW(f.item(IDCANCEL), BM_CLICK, 0, 0); },
        [](app::WizardFrame& f) { PostMessageW(f.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); },
        [](app::WizardFrame& f) {
            SetFocus(f.item(IDCANCEL));
            PostMessageW(f.item(IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 1);
        },
    };
    for (size_t i = 0; i < ways.size(); ++i) {
        SCOPED_TRACE(i);
        app::WizardFrame again;
        pages::PrinterPage printerAgain;
        again.AddPage(app::kAgreementCaption, &agreement);
        again.AddPage(app::kPrinterCaption, &printerAgain);
        wizardtest::SoonAction soon([&] { ways[i](again); });
        EXPECT_EQ(again.doModal(), IDCANCEL);
    }
    EXPECT_TRUE(messages().empty());
}

// --- The window ------------------------------------------------------------------

// The wizard is on the screen with its first page before it loads the
// system libraries that printing and installing need (the spooler's is slow
// to load), and loads them from the system directory before it builds the
// pages nobody sees yet, and so before any input.
TEST_F(WizardFrameTest, ItShowsWithItsFirstPageBeforeItLoadsTheLibrariesForTheWork) {
    bool loaded = false, frameVisible = false, firstPageVisible = false, otherPagesBuilt = true;
    sim.beforeCall("LoadLibraryExA", "winspool.drv", [&](os::sim::SimOs&) {
        loaded = true;
        frameVisible = IsWindowVisible(frame.hwnd()) != FALSE;
        firstPageVisible = IsWindowVisible(printer.hwnd()) != FALSE;
        otherPagesBuilt = mode.hwnd() != nullptr;
    });
    ASSERT_TRUE(start());
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(frameVisible);
    EXPECT_TRUE(firstPageVisible);
    EXPECT_FALSE(otherPagesBuilt);
    const std::vector<std::string> loads = sim.calls("LoadLibraryExA");
    EXPECT_NE(std::find(loads.begin(), loads.end(), sim.machine().systemDirectory + "\\winspool.drv"), loads.end());
}

TEST_F(WizardFrameTest, SystemMenuIconsAndTheSidePictureStretchedOverItsFrame) {
    ASSERT_TRUE(start());
    HMENU menu = GetSystemMenu(frame.hwnd(), FALSE);
    int items = GetMenuItemCount(menu);
    ASSERT_GE(items, 2);
    char label[128] = {};
    GetMenuStringA(menu, IDM_ABOUTBOX, label, sizeof label, MF_BYCOMMAND);
    EXPECT_EQ(std::string(label), text("Message", "IDS_ABOUTBOX"));
    EXPECT_EQ(GetMenuItemID(menu, items - 1), static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_EQ(GetMenuState(menu, items - 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));

    ASSERT_NE(frame.icon(), nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(frame.hwnd(), WM_GETICON, ICON_BIG, 0)), frame.icon());
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(frame.hwnd(), WM_GETICON, ICON_SMALL, 0)), frame.icon());
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(frame.hwnd(), WM_QUERYDRAGICON, 0, 0)), frame.icon());

    // The red 4 x 4 picture fills the whole frame control.
    HWND picture = frame.item(IDC_LEFT_PICTURE);
    RedrawWindow(frame.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT client;
    GetClientRect(picture, &client);
    HDC dc = GetDC(picture);
    int red = 0, samples = 0;
    for (int x = 2; x < client.right - 2; x += 7)
        for (int y = 2; y < client.bottom - 2; y += 11, ++samples)
            red += GetPixel(dc, x, y) == RGB(255, 0, 0);
    ReleaseDC(picture, dc);
    EXPECT_GT(samples, 100);
    EXPECT_EQ(red, samples);
}

TEST_F(WizardFrameTest, TheAboutBoxTakesItsTextsAndItsOwnFontFromTheLanguageSetting) {
    ASSERT_TRUE(start());
    for (bool chinese : {false, true}) {
        setupIni(std::string("[DEVICENAME]\r\nLANGUAGE=") + (chinese ? "0" : "1") + "\r\n");
        std::string title, version, copyright, ok;
        LOGFONTW font = {};
        wizardtest::SoonAction look([&] {
            HWND about = GetLastActivePopup(frame.hwnd());
            ASSERT_NE(about, frame.hwnd());
            title = ui::Window::fromHandle(about)->text();
            version = itemText(*static_cast<ui::Dialog*>(ui::Window::fromHandle(about)), IDC_ABOUT_VERSION);
            copyright = itemText(*static_cast<ui::Dialog*>(ui::Window::fromHandle(about)), IDC_ABOUT_COPYRIGHT);
            ok = itemText(*static_cast<ui::Dialog*>(ui::Window::fromHandle(about)), IDOK);
            HFONT used = reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(about, IDOK), WM_GETFONT, 0, 0));
            GetObjectW(used, sizeof font, &font);
            SendMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
        });
        SendMessageW(frame.hwnd(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        EXPECT_EQ(title, text("About", "Caption"));
        EXPECT_EQ(version, text("About", "Version"));
        EXPECT_EQ(copyright, text("About", "Copyright"));
        EXPECT_EQ(ok, text("About", "OK"));
        EXPECT_EQ(font.lfCharSet == GB2312_CHARSET && font.lfHeight == 13, chinese);
    }
}

TEST_F(WizardFrameTest, F1OpensTheHelpDocumentOrBringsItsOpenWindowForward) {
    ASSERT_TRUE(start());
    auto& runs = sim.desktop().shellRuns();
    // F1 pressed on a control of a page, and a help request that reaches a page.
    SetFocus(printer.item(IDC_RECEIPT));
    PostMessageW(printer.item(IDC_RECEIPT), WM_KEYDOWN, VK_F1, 1);
    ui::pumpMessages(frame.hwnd());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].verb, "open");
    EXPECT_EQ(runs[0].file, ".\\" + text("Help Guide", "Name"));
    EXPECT_EQ(runs[0].owner, nullptr);
    EXPECT_EQ(runs[0].parameters, "");
    EXPECT_EQ(runs[0].directory, "");
    EXPECT_EQ(runs[0].show, SW_SHOW);
    SendMessageW(mode.hwnd(), WM_HELP, 0, 0);
    EXPECT_EQ(runs.size(), 2u);
    runs.clear();

    auto& help = sim.desktop().openWindow(text("Help Guide", "Caption"));
    help.minimised = true;
    SendMessageW(frame.hwnd(), WM_HELP, 0, 0);
    EXPECT_TRUE(runs.empty());
    EXPECT_EQ(help.bringToTopRequests, 1);
    EXPECT_EQ(help.restoreRequests, 1);
    EXPECT_FALSE(help.minimised);
    sim.desktop().closeWindow(text("Help Guide", "Caption"));

    // A name longer than the old 100-byte path is opened whole.
    std::string longName = std::string(150, 'h') + ".pdf";
    writeFile("language\\setup.ini", "[Help Guide]\r\nCaption=Help\r\nName=" + longName + "\r\n");
    SendMessageW(frame.hwnd(), WM_HELP, 0, 0);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].file, ".\\" + longName);

    // No name, no document, and no untitled window is looked for.
    writeFile("language\\setup.ini", "[Help Guide]\r\n");
    sim.desktop().openWindow("");
    SendMessageW(frame.hwnd(), WM_HELP, 0, 0);
    EXPECT_EQ(runs.size(), 1u);
    EXPECT_EQ(sim.desktop().windows().back().bringToTopRequests, 0);

    // A document that cannot be opened: nothing is said and the wizard stays as it was.
    writeFile("language\\setup.ini", "[Help Guide]\r\nCaption=Help\r\nName=missing.pdf\r\n");
    const int page = frame.currentPage();
    SendMessageW(frame.hwnd(), WM_HELP, 0, 0);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].file, ".\\missing.pdf");
    EXPECT_EQ(frame.currentPage(), page);
    EXPECT_TRUE(IsWindowVisible(frame.hwnd()));
    EXPECT_TRUE(messages().empty());
}

TEST_F(WizardFrameTest, TheSharedChineseFontReachesTheFrameAndEveryPageOnlyWhenAsked) {
    addPages(false, true);
    ASSERT_TRUE(start());
    HFONT shared = ui::sharedDialogFont().handle();
    ASSERT_NE(shared, nullptr);
    auto fontOf = [](HWND w) { return reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)); };
    EXPECT_EQ(fontOf(frame.item(IDOK)), shared);
    for (ui::Dialog* page : std::vector<ui::Dialog*>{&agreement, &printer, &mode, &osPage, &port})
        EXPECT_EQ(fontOf(GetWindow(page->hwnd(), GW_CHILD)), shared) << page->templateId();
    frame.destroyWindow();
    EXPECT_FALSE(ui::sharedDialogFont().exists());

    // Without the flag every dialog keeps its template's font.
    app::WizardFrame plain;
    pages::ModePage plainMode;
    plain.AddPage(app::kAgreementCaption, &agreement);
    plain.AddPage(app::kPrinterCaption, &printer);
    plain.AddPage(app::kModeCaption, &plainMode);
    ASSERT_TRUE(plain.create(nullptr));
    EXPECT_FALSE(ui::sharedDialogFont().exists());
    for (HWND control : {plainMode.item(IDC_TYPICAL), plain.item(IDOK)}) {
        LOGFONTW font = {};
        ASSERT_TRUE(GetObjectW(fontOf(control), sizeof font, &font));
        EXPECT_NE(font.lfCharSet, GB2312_CHARSET);
        EXPECT_NE(font.lfHeight, 13);
    }
}

}  // namespace
