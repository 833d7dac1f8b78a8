#include "WizardTestSupport.h"

#include <cstdio>

#include "app/Captions.h"
#include "config/TextTable.h"
#include "resources/ResourceIds.h"
#include "support/LanguageKeys.h"
#include "ui/Application.h"
#include "ui/Dialog.h"

namespace wizardtest {
namespace {

const char* const kMedium = "C:\\MEDIUM\\";


std::string languageFile() {
    std::string file;
    for (const auto& [section, keys] : testing_support::kLanguageKeys) {
        file += "[" + section + "]\r\n";
        for (const std::string& key : keys) file += key + "=" + text(section, key) + "\r\n";
    }
    return file;
}

// A bitmap file of 4 x 4 pixels of one colour, 24 bits, bottom-up.
std::string bitmapOf(COLORREF colour) {
    const int side = 4, rowBytes = side * 3;
    std::string pixels;
    for (int i = 0; i < side * side; ++i) {
        pixels += static_cast<char>(GetBValue(colour));
        pixels += static_cast<char>(GetGValue(colour));
        pixels += static_cast<char>(GetRValue(colour));
    }
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + rowBytes * side;
    info.biSize = sizeof info;
    info.biWidth = side;
    info.biHeight = side;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    return std::string(reinterpret_cast<const char*>(&file), sizeof file) +
           std::string(reinterpret_cast<const char*>(&info), sizeof info) + pixels;
}

void writeRealFile(const std::string& path, const std::string& content) {
    FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr) << path;
    std::fwrite(content.data(), 1, content.size(), out);
    std::fclose(out);
}

std::map<UINT_PTR, std::function<void()>*> pendingActions;

void CALLBACK runPendingAction(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    auto found = pendingActions.find(timer);
    if (found == pendingActions.end()) return;
    std::function<void()> action = *found->second;
    pendingActions.erase(found);
    action();
}

}  // namespace

SoonAction::SoonAction(std::function<void()> action) : action_(std::move(action)) {
    timer_ = SetTimer(nullptr, 0, 10, runPendingAction);
    pendingActions[timer_] = &action_;
}

SoonAction::~SoonAction() {
    KillTimer(nullptr, timer_);
    pendingActions.erase(timer_);
}

SidePictureFolder::SidePictureFolder(COLORREF colour) {
    char buffer[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, buffer);
    previous_ = buffer;
    GetTempPathA(MAX_PATH, buffer);
    folder_ = std::string(buffer) + "wizard-side-picture-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
    CreateDirectoryA((folder_ + "\\DRVCONFIG").c_str(), nullptr);
    writeRealFile(folder_ + "\\DRVCONFIG\\Left.bmp", bitmapOf(colour));
    SetCurrentDirectoryA(folder_.c_str());
}

SidePictureFolder::~SidePictureFolder() {
    SetCurrentDirectoryA(previous_.c_str());
    removePicture();
    RemoveDirectoryA((folder_ + "\\DRVCONFIG").c_str());
    RemoveDirectoryA(folder_.c_str());
}

void SidePictureFolder::removePicture() { DeleteFileA((folder_ + "\\DRVCONFIG\\Left.bmp").c_str()); }

std::string text(const std::string& section, const std::string& key) {
    return "<" + section + "." + key + ">";
}

std::string portSection(const std::string& model, const std::string& keys) {
    return "[" + model + ".PORT]\r\n" + keys + "\r\n";
}

WizardFixture::WizardFixture(const os::sim::Machine& machine) : sim(machine), scope_(sim) {
    writeFile("language\\setup.ini", languageFile());
    app::reopenMessageTexts();
    setupIni("[DEVICENAME]\r\nDEVICENUMBER=5\r\n"
             "DEVICENAME1=RP-80-ReceiptPrinter\r\nDEVICENAME2=RP-58-ReceiptPrinter\r\n"
             "DEVICENAME3=TK-300-TicketPrinter\r\nDEVICENAME4=LB-100-LabelPrinter\r\n"
             "DEVICENAME5=EM-58-EmbeddedPrinter\r\nDEFAULTNAME=1\r\n");
    categoryFile(0, portSection("RP-80",
                                "AdvancedSetup=1\r\nBaudRate=9600\r\nSystemNTSupported=1\r\n"
                                "System2003Supported=1\r\nSystemVistaSupported=1\r\n"
                                "System2008Supported=1\r\nSystemWin7Supported=1") +
                        portSection("RP-58", "AdvancedSetup=0\r\nBaudRate=19200"));
    categoryFile(1, portSection("TK-300", "AdvancedSetup=1"));
    // The medium carries the USB library; no printer is attached.
    writeFile("HvUsbInt.dll", "MZ stand-in");
    ui::setMainWindow(&frame);
}

WizardFixture::~WizardFixture() {
    ui::setMainWindow(nullptr);
    frame.destroyWindow();
}

void WizardFixture::setupIni(const std::string& content) { writeFile("DRVCONFIG\\setup.ini", content); }

void WizardFixture::categoryFile(int category, const std::string& content) {
    const char* names[] = {"setup_receipt.ini", "setup_ticket.ini", "setup_lable.ini", "setup_embedded.ini"};
    writeFile(std::string("DRVCONFIG\\") + names[category], content);
}

void WizardFixture::writeFile(const std::string& path, const std::string& content) {
    sim.files().writeFile(kMedium + path, content);
}

void WizardFixture::addPages(bool loadLicense, bool alternateFont) {
    frame.setLoadLicense(loadLicense);
    agreement.setLoadLicense(loadLicense);
    frame.setAlternateFont(alternateFont);
    for (pages::WizardPage* page : std::vector<pages::WizardPage*>{&agreement, &printer, &mode, &osPage, &port})
        page->setAlternateFont(alternateFont);
    frame.AddPage(app::kAgreementCaption, &agreement);
    frame.AddPage(app::kPrinterCaption, &printer);
    frame.AddPage(app::kModeCaption, &mode);
    frame.AddPage(app::kOsCaption, &osPage);
    frame.AddPage(app::kPortCaption, &port);
}

bool WizardFixture::start(bool loadLicense) {
    if (frame.pageCount() == 0) addPages(loadLicense);
    if (!frame.create(nullptr)) return false;
    frame.show(SW_SHOW);
    return true;
}

INT_PTR WizardFixture::runModal(std::function<void()> meanwhile) {
    if (frame.pageCount() == 0) addPages();
    SoonAction soon(meanwhile ? meanwhile : [this] { frame.endDialog(IDABORT); });
    return frame.doModal();
}

void WizardFixture::press(int id) { SendMessageW(frame.item(id), BM_CLICK, 0, 0); }

void WizardFixture::click(ui::Dialog& page, int id) { SendMessageW(page.item(id), BM_CLICK, 0, 0); }

void WizardFixture::choose(ui::Dialog& page, int listId, int index) {
    HWND list = page.item(listId);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(page.hwnd(), WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

bool WizardFixture::shown(const ui::Dialog& page) const {
    return page.hwnd() && (GetWindowLongW(page.hwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
}

std::string WizardFixture::itemText(const ui::Dialog& dialog, int id) const {
    char buffer[512] = {};
    GetDlgItemTextA(dialog.hwnd(), id, buffer, sizeof buffer);
    return buffer;
}

}  // namespace wizardtest
