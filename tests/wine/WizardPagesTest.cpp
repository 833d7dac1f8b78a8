// The pages on their own, each in a window of its own as the frame would
// hold it: the printer page's lists and its default model, the OS page on
// every Windows, and the agreement page's text.
#include "WizardTestSupport.h"

#include "UiTestSupport.h"
#include "app/SystemDetection.h"
#include "resources/ResourceIds.h"
#include "ui/DialogFont.h"

namespace {

using os::sim::Machine;
using wizardtest::text;

class PrinterPageTest : public wizardtest::WizardFixture {
protected:
    void models(const std::string& entries) { setupIni("[DEVICENAME]\r\n" + entries); }
    bool open() { return printer.create(host_.hwnd()); }
    std::vector<std::string> items(int listId) {
        ui::ComboBox list;
        list.attach(printer.item(listId));
        std::vector<std::string> result;
        for (int i = 0; i < list.count(); ++i) result.push_back(list.itemText(i));
        list.detach();
        return result;
    }
    int selection(int listId) { return static_cast<int>(SendMessageW(printer.item(listId), CB_GETCURSEL, 0, 0)); }

    uitest::Host host_;
};

TEST_F(PrinterPageTest, EachCategoryListHoldsItsModelsInKeyOrderAndEntriesWithoutOneAreSkipped) {
    models("DEVICENUMBER=6\r\nDEFAULTNAME=4\r\n"
           "DEVICENAME1=T-2-TicketPrinter\r\n"
           "DEVICENAME3=Odd-TicketPrinter-ReceiptPrinter\r\n"  // receipt wins, cut there
           "DEVICENAME4=T-1-TicketPrinter\r\n"
           "DEVICENAME5=Plain model\r\n"
           "DEVICENAME6=L-1-LabelPrinter\r\n"
           "DEVICENAME7=Beyond-LabelPrinter\r\n");  // beyond the count
    ASSERT_TRUE(open());
    EXPECT_EQ(items(IDC_RECEIPT_LIST), std::vector<std::string>{"Odd-TicketPrinter"});
    EXPECT_EQ(items(IDC_TICKET_LIST), (std::vector<std::string>{"T-2", "T-1"}));
    EXPECT_EQ(items(IDC_LABEL_LIST), std::vector<std::string>{"L-1"});
    EXPECT_TRUE(items(IDC_EMBEDDED_LIST).empty());
    EXPECT_TRUE(printer.hasModels());
    // Only the categories with models can be chosen; only the default's list is open.
    EXPECT_TRUE(enabledOn(printer, IDC_RECEIPT));
    EXPECT_FALSE(enabledOn(printer, IDC_EMBEDDED));
    EXPECT_FALSE(enabledOn(printer, IDC_EMBEDDED_LIST));
    EXPECT_FALSE(enabledOn(printer, IDC_RECEIPT_LIST));
    EXPECT_TRUE(enabledOn(printer, IDC_TICKET_LIST));
    EXPECT_EQ(selection(IDC_RECEIPT_LIST), 0);
    EXPECT_EQ(printer.category(), 1);
    EXPECT_STREQ(printer.modelName(), "T-1");
    EXPECT_EQ(IsDlgButtonChecked(printer.hwnd(), IDC_DEFAULT_PRINTER), BST_UNCHECKED);

    // Another category takes its list's current item without opening it.
    click(printer, IDC_LABEL);
    EXPECT_EQ(printer.category(), 2);
    EXPECT_STREQ(printer.modelName(), "L-1");
    EXPECT_TRUE(enabledOn(printer, IDC_LABEL_LIST));
    EXPECT_FALSE(enabledOn(printer, IDC_TICKET_LIST));
    click(printer, IDC_TICKET);
    choose(printer, IDC_TICKET_LIST, 0);
    EXPECT_STREQ(printer.modelName(), "T-2");
    EXPECT_EQ(printer.category(), 1);
    // A list with no selection leaves no model.
    SendMessageW(printer.item(IDC_TICKET_LIST), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    click(printer, IDC_TICKET);
    EXPECT_STREQ(printer.modelName(), "");
}

TEST_F(PrinterPageTest, TheDefaultIsSearchedFromTheSecondItemOnWithoutRegardToCase) {
    struct Case {
        const char* list;
        const char* defaultEntry;
        int selected;
        const char* model;
    };
    const std::vector<Case> cases = {
        {"DEVICENAME1=Model AB-ReceiptPrinter\r\nDEVICENAME2=Model A-ReceiptPrinter\r\n", "2", 1, "Model A"},
        {"DEVICENAME1=Model A-ReceiptPrinter\r\nDEVICENAME2=Model AB-ReceiptPrinter\r\n", "1", 1, "Model AB"},
        {"DEVICENAME1=RP-80-ReceiptPrinter\r\nDEVICENAME2=X-ReceiptPrinter\r\n"
         "DEVICENAME3=rp-8-ReceiptPrinter\r\n", "3", 0, "RP-80"},
        {"DEVICENAME1=RP-80-ReceiptPrinter\r\nDEVICENAME2=Other-ReceiptPrinter\r\n"
         "DEVICENAME3=Missing-ReceiptPrinter\r\n", "3", -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        pages::PrinterPage page;
        models(std::string("DEVICENUMBER=2\r\nDEFAULTNAME=") + c.defaultEntry + "\r\n" + c.list);
        ASSERT_TRUE(page.create(host_.hwnd()));
        EXPECT_EQ(SendMessageW(page.item(IDC_RECEIPT_LIST), CB_GETCURSEL, 0, 0), c.selected);
        EXPECT_STREQ(page.modelName(), c.model);
        EXPECT_EQ(page.category(), 0);
        EXPECT_EQ(IsDlgButtonChecked(page.hwnd(), IDC_RECEIPT), BST_CHECKED);
        EXPECT_TRUE(IsWindowEnabled(page.item(IDC_RECEIPT_LIST)));
    }
}

TEST_F(PrinterPageTest, WithoutADefaultCategoryOrAnyConfigurationNothingIsChosen) {
    for (const char* list : {"DEVICENUMBER=1\r\nDEVICENAME1=RP-80-ReceiptPrinter\r\n",  // DEFAULTNAME absent
                             "DEVICENUMBER=1\r\nDEFAULTNAME=1\r\nDEVICENAME1=RP-80\r\n",  // no suffix
                             ""}) {
        SCOPED_TRACE(list);
        pages::PrinterPage page;
        models(list);
        ASSERT_TRUE(page.create(host_.hwnd()));
        EXPECT_EQ(page.category(), -1);
        EXPECT_STREQ(page.modelName(), "");
        for (int id : {IDC_RECEIPT, IDC_TICKET, IDC_LABEL, IDC_EMBEDDED})
            EXPECT_EQ(IsDlgButtonChecked(page.hwnd(), id), BST_UNCHECKED);
        for (int id : {IDC_RECEIPT_LIST, IDC_TICKET_LIST, IDC_LABEL_LIST, IDC_EMBEDDED_LIST})
            EXPECT_FALSE(IsWindowEnabled(page.item(id)));
    }
    pages::PrinterPage empty;
    sim.files().remove("C:\\MEDIUM\\DRVCONFIG\\setup.ini");
    ASSERT_TRUE(empty.create(host_.hwnd()));
    EXPECT_FALSE(empty.hasModels());
    for (int id : {IDC_RECEIPT, IDC_TICKET, IDC_LABEL, IDC_EMBEDDED}) EXPECT_FALSE(IsWindowEnabled(empty.item(id)));
}

// --- The OS page -----------------------------------------------------------------

struct OsCase {
    const char* name;
    Machine machine;
    int targetOs;
    int marked;  // the radio button marked, 0 for none
};
void PrintTo(const OsCase& c, std::ostream* out) { *out << c.name; }

class OsPageTest : public wizardtest::WizardFixture, public ::testing::WithParamInterface<OsCase> {
protected:
    OsPageTest() : wizardtest::WizardFixture(GetParam().machine) {}
    uitest::Host host_;
};

Machine platform(DWORD id) {
    Machine m = Machine::windowsXp();
    m.platform = id;
    return m;
}

Machine ntVersion(DWORD major, DWORD minor) {
    Machine m = Machine::windows7();
    m.major = major;
    m.minor = minor;
    return m;
}

TEST_P(OsPageTest, TheRunningSystemIsMarkedAndEveryOtherChoiceDisabled) {
    const OsCase& c = GetParam();
    EXPECT_EQ(osPage.targetOs(), 0);
    ASSERT_TRUE(osPage.create(host_.hwnd()));
    EXPECT_EQ(pages::osPageReference(), &osPage);
    EXPECT_EQ(osPage.targetOs(), c.targetOs);
    const int radios[] = {IDC_OS_98ME, IDC_OS_NT, IDC_OS_2000, IDC_OS_XP,
                          IDC_OS_2003, IDC_OS_VISTA, IDC_OS_2008, IDC_OS_WIN7};
    for (int target = 0; target < 8; ++target) {
        SCOPED_TRACE(target);
        EXPECT_EQ(checked(osPage, radios[target]), radios[target] == c.marked);
        EXPECT_EQ(enabledOn(osPage, radios[target]), target == c.targetOs);
    }
    bool vista = c.targetOs == app::kWindowsVista;
    EXPECT_EQ(sim.registry().getDword(HKEY_CURRENT_USER, app::kCompatibilityKey, "C:\\MEDIUM\\setup.exe"),
              vista ? 1u : 0xFFFFFFFFu);
    if (std::string(c.name) == "UnknownPlatform")
        EXPECT_EQ(messages(), std::vector<std::string>{text("Message", "IDS_ERR_SYSTEM")});
    else
        EXPECT_TRUE(messages().empty());

    osPage.show(SW_SHOW);
    EXPECT_EQ(itemText(osPage, IDC_SELECT_GROUP), text("System", "Select"));
}

INSTANTIATE_TEST_SUITE_P(
    EveryWindows, OsPageTest,
    ::testing::Values(OsCase{"Windows95", Machine::windows95(), 0, 0},
                      OsCase{"Windows98", Machine::windows98(), 0, IDC_OS_98ME},
                      OsCase{"NT4", Machine::windowsNt4(), 1, IDC_OS_NT},
                      OsCase{"Windows2000", Machine::windows2000(), 2, IDC_OS_2000},
                      OsCase{"XP", Machine::windowsXp(), 3, IDC_OS_XP},
                      OsCase{"Server2003", Machine::windows2003(), 4, IDC_OS_2003},
                      OsCase{"Vista", Machine::windowsVista(), 5, IDC_OS_VISTA},
                      OsCase{"Server2008", Machine::windows2008(), 6, IDC_OS_2008},
                      OsCase{"Windows7", Machine::windows7(), 7, IDC_OS_WIN7},
                      // The newer systems are installed for with Windows 7's rules.
                      OsCase{"Windows8", Machine::windows8(), 7, IDC_OS_WIN7},
                      OsCase{"Windows11", Machine::windows11(), 7, IDC_OS_WIN7},
                      OsCase{"Version64", ntVersion(6, 4), 0, 0},
                      OsCase{"UnknownPlatform", platform(3), 0, 0}),
    [](const ::testing::TestParamInfo<OsCase>& info) { return std::string(info.param.name); });

// --- The agreement page ------------------------------------------------------------

class AgreementPageTest : public wizardtest::WizardFixture {
protected:
    uitest::Host host_;
};

TEST_F(AgreementPageTest, TheLicenceIsShownAsStoredReadOnlyWithRejectChosen) {
    std::string licence = "Terms\r\n\r\n1. First line\r\n2. Second line\r\n";
    writeFile("License.txt", licence);
    agreement.setLoadLicense(true);
    ASSERT_TRUE(agreement.create(host_.hwnd()));
    EXPECT_EQ(agreement.text().text(), licence);
    EXPECT_TRUE(agreement.text().isReadOnly());
    EXPECT_TRUE(checked(agreement, IDC_REJECT));
    // It opens on the first line.
    EXPECT_EQ(SendMessageW(agreement.text().hwnd(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_TRUE(messages().empty());
}

TEST_F(AgreementPageTest, WithoutMemoryForTheTextThePageStaysUsableAndEmpty) {
    writeFile("License.txt", "terms");
    sim.faults().fail("LocalAlloc", ERROR_NOT_ENOUGH_MEMORY);
    agreement.setLoadLicense(true);
    agreement.setAlternateFont(true);
    ui::sharedDialogFont().createAlternate();
    ASSERT_TRUE(agreement.create(host_.hwnd()));
    EXPECT_EQ(agreement.text().text(), "");
    EXPECT_TRUE(messages().empty());
    // Nothing more of the initialisation ran: the shared font was not applied.
    EXPECT_NE(reinterpret_cast<HFONT>(SendMessageW(agreement.item(IDC_ACCEPT), WM_GETFONT, 0, 0)),
              ui::sharedDialogFont().handle());
    ui::sharedDialogFont().destroy();
    EXPECT_EQ(sim.openHandles(), 0u);
}

}  // namespace
