// The wizard under Wine with real windows and a simulated Windows: the
// program's five pages and its frame on a simulated machine that holds the
// medium's configuration and language file, while the side picture, which
// the frame loads from the real disk, lies in a real folder made the current
// directory.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/WizardFrame.h"
#include "os/Os.h"
#include "os/sim/SimOs.h"
#include "pages/AgreementPage.h"
#include "pages/ModePage.h"
#include "pages/OsPage.h"
#include "pages/PortPage.h"
#include "pages/PrinterPage.h"

namespace wizardtest {

// A folder of the real disk with DRVCONFIG\Left.bmp (a picture of one
// colour), made the process's current directory while it exists.
class SidePictureFolder {
public:
    explicit SidePictureFolder(COLORREF colour = RGB(255, 0, 0));
    ~SidePictureFolder();
    void removePicture();

private:
    std::string folder_;
    std::string previous_;
};

// Runs an action once from the next message loop of this thread (a modal
// run's), shortly after; a run that ends before leaves it undone.
class SoonAction {
public:
    explicit SoonAction(std::function<void()> action);
    ~SoonAction();
    SoonAction(const SoonAction&) = delete;
    SoonAction& operator=(const SoonAction&) = delete;

private:
    std::function<void()> action_;
    UINT_PTR timer_;
};

// Every text of the test language file is its section and key: "<Setup.Next>".
std::string text(const std::string& section, const std::string& key);

// A model's port section, as a category file holds it.
std::string portSection(const std::string& model, const std::string& keys);

class WizardFixture : public ::testing::Test {
protected:
    explicit WizardFixture(const os::sim::Machine& machine = os::sim::Machine::windowsXp());
    ~WizardFixture() override;

    // DRVCONFIG\setup.ini of the medium; the default names five models, one
    // of each category and a second receipt model, the first the default.
    void setupIni(const std::string& content);
    // A category file (0 receipt, 1 ticket, 2 label, 3 embedded).
    void categoryFile(int category, const std::string& content);
    void writeFile(const std::string& path, const std::string& content);

    // Registers the five pages in the program's order; the flags as start-up sets them.
    void addPages(bool loadLicense = false, bool alternateFont = false);
    // Creates the frame modeless and shows it, as its modal run would.
    bool start(bool loadLicense = false);
    // Runs the frame modally; `meanwhile` runs inside the run once it is going.
    INT_PTR runModal(std::function<void()> meanwhile = nullptr);

    // What a user does: press a frame button, click a page's button, choose a
    // list item (the list tells its page).
    void press(int id);
    void click(ui::Dialog& page, int id);
    void choose(ui::Dialog& page, int listId, int index);

    bool shown(const ui::Dialog& page) const;
    bool enabled(int id) const { return IsWindowEnabled(frame.item(id)) != FALSE; }
    bool enabledOn(const ui::Dialog& page, int id) const { return IsWindowEnabled(page.item(id)) != FALSE; }
    bool checked(const ui::Dialog& page, int id) const {
        return IsDlgButtonChecked(page.hwnd(), id) == BST_CHECKED;
    }
    std::string itemText(const ui::Dialog& dialog, int id) const;
    std::vector<std::string> messages() { return sim.desktop().messageTexts(); }

    os::sim::SimOs sim;

private:
    os::ScopedSystem scope_;

protected:
    SidePictureFolder folder;
    pages::AgreementPage agreement;
    pages::PrinterPage printer;
    pages::ModePage mode;
    pages::OsPage osPage;
    pages::PortPage port;
    app::WizardFrame frame;
};

}  // namespace wizardtest
