// Drives the real setup.exe from another process, as a person would, and
// keeps a picture of the wizard at each step: the agreement, the printer,
// mode, OS and port pages, the About box, and the agreement again after
// walking back. It then cancels the wizard.
//
//   wizard-driver.exe OUTDIR     (run in the folder that holds setup.exe)
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
void shot(HWND window, const std::string& outDirectory, const std::string& name) {
    settle();
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: wizard-driver.exe OUTDIR\n");
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
