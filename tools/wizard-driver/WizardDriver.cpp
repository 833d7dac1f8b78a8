// Drives the real setup.exe from another process, as a person would, and
// keeps a picture of the wizard at each step.
//
//   wizard-driver.exe OUTDIR           the agreement, the printer, mode, OS and
//                                      port pages, the About box, and the
//                                      agreement again after walking back; then
//                                      it cancels the wizard
//   wizard-driver.exe OUTDIR install   a typical installation with the
//                                      preselected model and port, to its
//                                      closing message
//
// Run it in the folder that holds setup.exe.
//
// Windows are found by the process that owns them; a click is sent only once
// the window is visible (one sent before is lost); list choices are made
// with CB_SETCURSEL and the CBN_SELCHANGE the list would send. Pictures are
// 24-bit bitmaps of the window's rectangle on the screen, named after the step.
#include "SetupWindows.h"

namespace {

using namespace setupwindows;

void settle() { Sleep(700); }

// Reports what the wizard shows and keeps its picture.
// A window that closes on its own (the progress window) is taken after a
// short pause for its first paint, before it can close.
void shot(HWND window, const std::string& outDirectory, const std::string& name, bool closesSoon = false) {
    if (closesSoon) Sleep(30); else settle();
    std::printf("%s: \"%s\"", name.c_str(), textOf(window).c_str());
    for (int id : {1002, IDOK, IDCANCEL}) {
        HWND button = GetDlgItem(window, id);
        if (button)
            std::printf(" [%s%s]", textOf(button).c_str(), IsWindowEnabled(button) ? "" : " (disabled)");
    }
    std::printf("\n");
    if (!capture(window, outDirectory + "\\" + name + ".bmp")) std::printf("  could not save the picture\n");
    std::fflush(stdout);
}

// Accepts, keeps every preselection, installs, and pictures each step, the
// progress window and each message box; every box gets its first button.
int install(SetupProcess& setup, HWND frame, const std::string& out) {
    auto page = [&](int id) { return waitFor([&] { return visibleControl(frame, id); }) != nullptr; };
    int failures = 0;
    const struct {
        int control;  // shown on the page
        const char* name;
    } pages[] = {{kAgreementText, "1-agreement"}, {kReceipt, "2-printer"}, {kTypical, "3-mode"},
                 {kOs2000, "4-os"},              {kPortList, "5-port"}};
    for (const auto& p : pages) {
        if (!page(p.control)) {
            std::printf("gave up waiting for %s\n", p.name);
            return failures + 1;
        }
        shot(frame, out, p.name);
        if (p.control == kAgreementText) click(visibleControl(frame, kAccept));
        click(GetDlgItem(frame, IDOK));
    }
    // The progress window: a window of setup.exe's own with a progress bar.
    // It comes once the preparation is done, which may first run the USB
    // driver installer; a message box instead, or the end, means none comes.
    auto hasBar = [](HWND w) { return FindWindowExA(w, nullptr, "msctls_progress32", nullptr) != nullptr; };
    HWND next = waitFor([&] {
        for (HWND w : setup.visibleWindows())
            if (w != frame && (hasBar(w) || GetDlgItem(w, kMessageText))) return w;
        return setup.running() ? HWND(nullptr) : frame;
    });
    if (next && next != frame && hasBar(next)) shot(next, out, "6-progress", true);
    int box = 0;
    bool settled = answerUntilSettled(setup, frame, [&](HWND window, const std::string& text) {
        shot(window, out, "7-message-" + std::to_string(++box));
        std::printf("  says: %s\n", text.c_str());
        return GetDlgItem(window, IDOK) ? IDOK : IDYES;
    });
    if (!settled) {
        std::printf("setup.exe neither ended nor settled\n");
        ++failures;
    }
    long code = setup.wait();
    std::printf("setup.exe ended with %ld\n", code);
    return failures + (code == 0 ? 0 : 1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: wizard-driver.exe OUTDIR [install]\n");
        return 2;
    }
    std::string out = argv[1];
    SetupProcess setup;
    if (!setup.start("setup.exe")) {
        std::printf("setup.exe could not be started (%lu)\n", GetLastError());
        return 1;
    }
    int failures = 0;

    HWND frame = waitFor([&] { return setup.wizard(); });
    if (frame == nullptr) {
        std::printf("gave up waiting for the wizard\n");
        setup.kill();
        return 1;
    }
    if (argc > 2 && std::string(argv[2]) == "install") return install(setup, frame, out);

    auto onPage = [&](int id, const char* page) {
        HWND control = waitFor([&] { return visibleControl(frame, id); });
        if (control == nullptr) {
            std::printf("gave up waiting for %s\n", page);
            ++failures;
        }
        return control != nullptr;
    };

    if (onPage(1081, "the agreement page")) shot(frame, out, "1-agreement");
    click(visibleControl(frame, 1057));  // accept
    click(GetDlgItem(frame, IDOK));
    if (onPage(1019, "the printer page")) shot(frame, out, "2-printer");
    click(GetDlgItem(frame, IDOK));
    if (onPage(1066, "the mode page")) {
        click(visibleControl(frame, 1067));  // advanced: every remark line shows
        shot(frame, out, "3-mode");
    }
    click(GetDlgItem(frame, IDOK));
    if (onPage(1028, "the OS page")) shot(frame, out, "4-os");
    click(GetDlgItem(frame, IDOK));
    if (onPage(1049, "the port page")) shot(frame, out, "5-port");

    PostMessageW(frame, WM_SYSCOMMAND, 0x0010, 0);  // About, from the system menu
    HWND about = waitFor([&] {
        for (HWND w : setup.visibleWindows())
            if (w != frame) return w;
        return HWND(nullptr);
    });
    if (about) {
        shot(about, out, "6-about");
        click(GetDlgItem(about, IDOK));
        waitFor([&] { return IsWindow(about) && IsWindowVisible(about) ? HWND(nullptr) : frame; });
    } else {
        std::printf("gave up waiting for the About box\n");
        ++failures;
    }

    for (int back = 0; back < 4; ++back) {
        click(GetDlgItem(frame, 1002));
        Sleep(200);
    }
    if (onPage(1081, "the agreement page again")) shot(frame, out, "7-back-on-agreement");

    click(GetDlgItem(frame, IDCANCEL));
    long code = setup.wait();
    if (code < 0) {
        std::printf("setup.exe did not end after Cancel\n");
        setup.kill();
        ++failures;
    } else {
        std::printf("setup.exe ended with %ld after Cancel\n", code);
    }
    return failures == 0 ? 0 : 1;
}
