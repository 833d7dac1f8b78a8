// The wizard's main window: the side picture, the area in which one page at
// a time is shown, and Back, forward and Cancel. It moves between the pages
// and, on the way, makes the checks that tie them together: whether the
// chosen model allows the advanced mode, whether it supports the target
// system, and which baud rate the serial settings start with. At start it
// refuses to run without its side picture and, from Windows 2000 on,
// without administrator rights; then it shows itself with its first page,
// and loads the system libraries that printing and installing need
// (app/Startup.h) and builds the other pages before it takes input.
#pragma once

#include <string>
#include <vector>

#include "app/WizardChecks.h"
#include "install/InstallJob.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"

namespace pages {
class ModePage;
class OsPage;
class PortPage;
class PrinterPage;
class ProgressWindow;
}  // namespace pages

namespace app {

class WizardFrame : public ui::Dialog {
public:
    // The pages' places in the wizard.
    enum PageIndex {
        kAgreementPage = 0,
        kPrinterPage = 1,
        kModePage = 2,
        kOsPage = 3,
        kPortPage = 4,
    };
    // Where the side picture is looked for, from the current directory.
    static constexpr const char* kSideBitmap = "DRVCONFIG\\Left.bmp";

    WizardFrame();
    ~WizardFrame() override;

    // Set before the window is created: start on the agreement page.
    void setLoadLicense(bool on) { loadLicense_ = on; }
    // Set before the window is created: the shared Chinese font is made and used.
    void setAlternateFont(bool on) { alternateFont_ = on; }
    bool loadLicense() const { return loadLicense_; }
    bool alternateFont() const { return alternateFont_; }

    // Registers a page, in wizard order, before the window is created.
    void AddPage(const char* caption, ui::Page* page);
    int pageCount() const { return static_cast<int>(pages_.size()); }
    ui::Page* GetPage(int index) const;
    const std::string& pageCaption(int index) const { return captions_.at(index); }
    UINT pageTemplate(int index) const { return templates_.at(index); }

    // Moves to the page at `index`: the page shown so far keeps its choices
    // (a failed data exchange keeps it shown) and the checks of leaving it
    // are made. True when the page at `index` is now shown; false when the
    // wizard stayed where it was.
    virtual bool SetActivePage(int index);
    int currentPage() const { return current_; }

    // The forward button: before the last page it moves on (and, on reaching
    // the last page, captures the user's choices); on the last page it installs.
    void InstallCommand();
    // Destroys the window of every registered page, in page order.
    void DestroyPages();
    // Forgets the pages and the shared font, then destroys the window.
    bool destroyWindow() override;
    // F1 anywhere in the wizard opens the help.
    bool preTranslateMessage(MSG& message) override;

    // The category taken from the printer page when the user last left it forward.
    int printerCategory() const { return printerCategory_; }
    // The user's choices as captured on reaching the last page.
    const install::InstallSelection& selection() const { return job_.selection; }
    const std::string& setupPath() const { return setupPath_; }
    const std::string& categoryPath() const { return categoryPath_; }
    int installStatusFlags() const { return job_.statusFlags; }
    const WizardChecks& checks() const { return checks_; }
    HICON icon() const { return icon_; }
    HBITMAP sideBitmap() const { return sideBitmap_; }

protected:
    BOOL onInitDialog() override;
    void doDataExchange(ui::DataExchange& exchange) override;
    bool onCommand(int id, int code, HWND control) override;
    void onOK() override;
    void onCancel() override;
    void onShowWindow(bool show, UINT status) override;
    bool onPaint() override;
    bool onSysCommand(UINT command, LPARAM lParam) override;
    bool onHelp(HELPINFO* info) override;
    HICON onQueryDragIcon() override;

private:
    template <class T>
    T* pageAs(int index) const {
        return index >= 0 && index < pageCount() ? dynamic_cast<T*>(pages_[index]) : nullptr;
    }
    void addAboutItem();
    // The pages needed before the wizard shows, or the others.
    void createPages(bool beforeShowing);
    bool neededBeforeShowing(int index) const;
    // Shows the wizard with its first page when other pages are still to be built.
    void showBeforeOtherPages();
    void captionButtons();
    bool loadSideBitmap();
    void backCommand();
    void forwardToNextPage();
    // The last page's install command; see InstallCommand.
    void installOnLastPage();
    void captureSelection();
    void takePortChoices();
    void runInstallation(pages::ProgressWindow& progress);
    void leavePrinterPage();
    // False when the model does not support the target system.
    bool leaveOsPage();
    void focusForward();
    // Moves the focus out of a page just hidden, onto a button.
    void keepFocusShown(HWND hiddenPage);
    void paintIcon();
    void paintSideBitmap();
    void openHelp();

    bool loadLicense_ = false;
    bool alternateFont_ = false;
    std::vector<ui::Page*> pages_;
    std::vector<std::string> captions_;
    std::vector<UINT> templates_;
    int current_ = -1;
    int printerCategory_ = -1;
    install::InstallJob job_;
    std::string setupPath_;
    std::string categoryPath_;
    WizardChecks checks_;
    ui::Static leftPicture_;
    ui::Static pageArea_;
    HICON icon_ = nullptr;
    HBITMAP sideBitmap_ = nullptr;
    // Cancel was pressed (or a page cancelled the wizard): nothing more is asked.
    bool ended_ = false;
};

}  // namespace app
