#include "app/WizardFrame.h"

#include "app/AboutBox.h"
#include "app/AdminCheck.h"
#include "app/Startup.h"
#include "os/SystemDetection.h"
#include "config/TextTable.h"
#include "config/DriverConfig.h"
#include "os/Os.h"
#include "pages/ModePage.h"
#include "pages/OsPage.h"
#include "pages/PortPage.h"
#include "pages/PrinterPage.h"
#include "pages/WizardPage.h"
#include "resources/ResourceIds.h"
#include "ui/Application.h"
#include "ui/DialogFont.h"
#include "ui/ScreenScale.h"

namespace app {

WizardFrame::WizardFrame() : ui::Dialog(IDD_WIZARD) {
    icon_ = LoadIconW(ui::resourceModule(), MAKEINTRESOURCEW(IDI_SETUP));
}

WizardFrame::~WizardFrame() {
    if (sideBitmap_) DeleteObject(sideBitmap_);
}

void WizardFrame::AddPage(const char* caption, ui::Page* page) {
    pages_.push_back(page);
    captions_.push_back(caption ? caption : "");
    templates_.push_back(page ? page->templateId() : 0);
}

ui::Page* WizardFrame::GetPage(int index) const {
    return index >= 0 && index < pageCount() ? pages_[index] : nullptr;
}

// --- Start ------------------------------------------------------------------

BOOL WizardFrame::onInitDialog() {
    ui::Dialog::onInitDialog();
    ended_ = false;
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    if (alternateFont_) {
        ui::sharedDialogFont().createAlternate();
        ui::sharedDialogFont().applyTo(hwnd_);
    }
    if (!pages_.empty()) {
        createPages(true);
        // What the OS page's start does besides its window is done now, in
        // its place among the pages' starts; its window comes later.
        if (auto* osPage = pageAs<pages::OsPage>(kOsPage)) osPage->start();
        // A page that could not start (the licence is missing) has ended the
        // wizard already; it is not shown, and nothing more is asked.
        if (ended_) return FALSE;
        if (loadLicense_) {
            SetActivePage(kAgreementPage);
        } else {
            enableItem(IDOK, true);
            SetActivePage(kPrinterPage);
        }
    }
    captionButtons();
    if (!loadSideBitmap()) {
        messageBox(MessageTexts().GetText("IDS_ERR_NOLEFT"));
        onCancel();
        return FALSE;
    }
    if (administratorMissing(detectTargetOs())) {
        messageBox(MessageTexts().GetText("IDS_ADMIN"));
        onCancel();
        return FALSE;
    }
    showBeforeOtherPages();
    // Behind the window and before any input, which is what opens the system
    // menu, prints, installs or opens the shell.
    addAboutItem();
    loadLibrariesForWork();
    createPages(false);
    return TRUE;
}

// Most of the start is the pages' controls, the drop-down lists above all
// (Wine gives each list a top-level window of its own), and most of them
// are on pages nobody sees yet. So the wizard shows itself, painted with its
// first page, once nothing can end it any more, and builds those pages
// behind it before it handles the first input.
void WizardFrame::showBeforeOtherPages() {
    bool others = false;
    for (int index = 0; index < pageCount(); ++index)
        others = others || (pages_[index] != nullptr && !neededBeforeShowing(index));
    if (!others) return;
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
}

void WizardFrame::doDataExchange(ui::DataExchange& exchange) {
    exchange.control(IDC_LEFT_PICTURE, leftPicture_);
    exchange.control(IDC_PAGE_AREA, pageArea_);
}

void WizardFrame::addAboutItem() {
    HMENU menu = GetSystemMenu(hwnd_, FALSE);
    if (menu == nullptr) return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, MessageTexts().GetText("IDS_ABOUTBOX"));
}

// Only the first page. The others do nothing at their start but build their
// window and read the configuration, except the agreement, which is the first
// page when it reads the licence, and the OS page, which is started apart.
bool WizardFrame::neededBeforeShowing(int index) const {
    return index == (loadLicense_ ? kAgreementPage : kPrinterPage);
}

void WizardFrame::createPages(bool beforeShowing) {
    RECT area = {0, 0, 0, 0};
    GetWindowRect(pageArea_.hwnd(), &area);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&area), 2);
    for (int index = 0; index < pageCount(); ++index) {
        ui::Page* page = pages_[index];
        if (neededBeforeShowing(index) != beforeShowing) continue;
        if (page == nullptr || !page->create(hwnd_)) continue;
        // Before the buttons in the tab order, as in reading order: the
        // page's controls, then Back, forward and Cancel.
        SetWindowPos(page->hwnd(), item(IDC_HELP_HINT), area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOACTIVATE);
    }
}

void WizardFrame::captionButtons() {
    TextTable texts("Setup");
    setItemText(IDC_BACK, texts.GetText("Back"));
    setItemText(IDOK, texts.GetText(pageCount() > 1 ? "Next" : "Install"));
    setItemText(IDCANCEL, texts.GetText("Cancel"));
}

bool WizardFrame::loadSideBitmap() {
    if (sideBitmap_ == nullptr)
        sideBitmap_ = static_cast<HBITMAP>(
            LoadImageA(nullptr, kSideBitmap, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    return sideBitmap_ != nullptr;
}

// --- Navigation ---------------------------------------------------------------

bool WizardFrame::SetActivePage(int index) {
    ui::Page* next = GetPage(index);
    if (next == nullptr || next->hwnd() == nullptr) return false;
    const int leaving = current_;
    if (leaving >= 0) {
        ui::Page* page = pages_[leaving];
        if (!page->updateData(true)) return false;
        page->show(SW_HIDE);
        keepFocusShown(page->hwnd());
    }
    // From the mode page back towards the printer page the model may change.
    if (leaving == kModePage && index < kModePage) checks_.backToPrinterPage();
    if (leaving == kAgreementPage) {
        auto* printer = pageAs<pages::PrinterPage>(kPrinterPage);
        enableItem(IDOK, printer != nullptr && printer->hasModels());
    }
    if (index > leaving) {
        if (leaving == kPrinterPage) {
            leavePrinterPage();
        } else if (leaving == kOsPage && !leaveOsPage()) {
            current_ = leaving;
            pages_[leaving]->show(SW_SHOW);
            return false;
        }
    }
    current_ = index;
    next->show(SW_SHOW);
    return true;
}

void WizardFrame::leavePrinterPage() {
    auto* printer = pageAs<pages::PrinterPage>(kPrinterPage);
    if (printer == nullptr) return;
    printerCategory_ = printer->category();
    bool advanced = checks_.leavePrinterPage(printerCategory_, printer->modelName());
    auto* mode = pageAs<pages::ModePage>(kModePage);
    if (mode == nullptr) return;
    if (advanced)
        mode->allowAdvanced();
    else
        mode->restrictToTypical(MessageTexts().GetText("IDS_TYPICAL_NOTES"));
}

bool WizardFrame::leaveOsPage() {
    auto* osPage = pageAs<pages::OsPage>(kOsPage);
    WizardChecks::OsPageOutcome outcome = checks_.leaveOsPage(osPage ? osPage->targetOs() : 0);
    if (outcome.presetBaud) {
        if (auto* port = pageAs<pages::PortPage>(kPortPage))
            port->presetBaudRate(outcome.baudRate, outcome.baudIndex);
    }
    if (outcome.refusal == nullptr) return true;
    ui::appMessageBox(MessageTexts().GetText(outcome.refusal));
    return false;
}

void WizardFrame::backCommand() {
    if (!IsWindowEnabled(item(IDC_BACK))) return;
    const int leaving = current_;
    if (leaving > 0) {
        if (leaving <= pageCount() - 1) setItemText(IDOK, TextTable("Setup").GetText("Next"));
        SetActivePage(leaving - 1);
        // Without the agreement the printer page is the first.
        if (!loadLicense_ && current_ == kPrinterPage) {
            enableItem(IDC_BACK, false);
            focusForward();
        }
    }
    if (current_ <= 0) {
        enableItem(IDC_BACK, false);
        focusForward();
    }
    enableItem(IDOK, true);
}

// A button pressed by its access key (Alt+N) leaves the focus where it was:
// on a page that is now hidden, where no key would reach anything shown.
void WizardFrame::keepFocusShown(HWND hiddenPage) {
    HWND focus = GetFocus();
    if (focus == nullptr || (focus != hiddenPage && !IsChild(hiddenPage, focus))) return;
    if (IsWindowEnabled(item(IDOK)))
        focusForward();
    else
        SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(IDCANCEL)), TRUE);
}

void WizardFrame::focusForward() {
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(IDOK)), TRUE);
}

bool WizardFrame::onCommand(int id, int code, HWND control) {
    if (id == IDC_BACK && code == BN_CLICKED) {
        backCommand();
        return true;
    }
    return ui::Dialog::onCommand(id, code, control);
}

void WizardFrame::onOK() { InstallCommand(); }

void WizardFrame::onCancel() {
    ended_ = true;
    endDialog(IDCANCEL);
}

void WizardFrame::DestroyPages() {
    for (ui::Page* page : pages_)
        if (page) page->destroyWindow();
}

bool WizardFrame::destroyWindow() {
    pages_.clear();
    captions_.clear();
    templates_.clear();
    bool destroyed = ui::Dialog::destroyWindow();
    // After the windows that used it are gone.
    ui::sharedDialogFont().destroy();
    return destroyed;
}

// --- The window itself ------------------------------------------------------

void WizardFrame::onShowWindow(bool show, UINT status) {
    ui::Dialog::onShowWindow(show, status);
    TextTable texts("Setup");
    setText(texts.GetText("Caption"));
    setItemText(IDC_HELP_HINT, texts.GetText("Help"));
}

bool WizardFrame::onPaint() {
    if (IsIconic(hwnd_)) {
        paintIcon();
        return true;
    }
    if (sideBitmap_ == nullptr) return false;
    // The dialog's own painting first: erasing the background afterwards
    // would wipe out the picture, which has no window of its own to keep it.
    PAINTSTRUCT paint;
    BeginPaint(hwnd_, &paint);
    EndPaint(hwnd_, &paint);
    paintSideBitmap();
    return true;
}

void WizardFrame::paintIcon() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    SendMessageW(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(hwnd_, &client);
    int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(hwnd_, &paint);
}

void WizardFrame::paintSideBitmap() {
    HWND picture = leftPicture_.hwnd();
    if (picture == nullptr) return;
    BITMAP size;
    if (!GetObjectW(sideBitmap_, sizeof size, &size)) return;
    RECT client;
    GetClientRect(picture, &client);
    HDC dc = GetDC(picture);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, sideBitmap_);
    // On a scaled screen the picture grows well beyond its own size: there
    // it is smoothed, which takes the brush origin set anew; at 96 dots per
    // inch it keeps the plain stretch it always had.
    if (ui::screenDpi() > 96) {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
    } else {
        SetStretchBltMode(dc, COLORONCOLOR);
    }
    StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(picture, dc);
}

HICON WizardFrame::onQueryDragIcon() { return icon_; }

bool WizardFrame::onSysCommand(UINT command, LPARAM) {
    if ((command & 0xFFF0) != IDM_ABOUTBOX) return false;
    AboutBox about;
    about.doModal(hwnd_);
    return true;
}

bool WizardFrame::preTranslateMessage(MSG& message) {
    // The key itself rather than the help message it would become: Wine
    // neither makes the message from the key nor passes it up from a child.
    if (pages::WizardPage::isHelpKey(message)) {
        openHelp();
        return true;
    }
    return ui::Dialog::preTranslateMessage(message);
}

bool WizardFrame::onHelp(HELPINFO*) {
    openHelp();
    return true;
}

void WizardFrame::openHelp() {
    TextTable help("Help Guide");
    // Each text copied out before the next lookup reuses the buffer.
    std::string caption = help.GetText("Caption");
    // An empty title would match any untitled window.
    HWND open = caption.empty() ? nullptr : os::sys().FindWindowA(nullptr, caption.c_str());
    if (open != nullptr) {
        os::sys().BringWindowToTop(open);
        os::sys().OpenIcon(open);
        return;
    }
    std::string name = help.GetText("Name");
    // Without a name ".\" would open the medium's folder, not a document.
    if (name.empty()) return;
    // The whole name, however long: a cut name would open another file or none.
    std::string path = ".\\" + name;
    os::sys().ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace app
