// Renders every dialog of the program to bitmap files for review: each page
// inside the wizard's frame where the wizard places it, the About box and the
// progress window, with sample content. Optionally with the alternate
// (Chinese) dialog font the wizard uses, and with the texts of a language
// file put where the dialogs put them.
//
//   render_dialogs.exe OUTDIR [--alternate-font] [--texts FILE] [--license FILE]
//
// Language and licence files are read as UTF-8 (GBK when they are not valid
// UTF-8), so the result does not depend on the ANSI code page.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "pages/CStaticEx.h"
#include "resources/ResourceIds.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"
#include "ui/DialogFont.h"

namespace {

std::wstring widen(const std::string& text) {
    UINT codePage = CP_UTF8;
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.c_str(), -1, nullptr, 0) == 0) codePage = 936;
    int length = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(codePage, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// A language file: sections of key=value lines.
class Texts {
public:
    void load(const std::string& path) {
        std::istringstream lines(readFile(path));
        std::string line, section;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.size() >= 3 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
            if (line.empty() || line[0] == ';') continue;
            if (line[0] == '[') {
                section = line.substr(1, line.find(']') - 1);
                continue;
            }
            size_t equals = line.find('=');
            if (equals != std::string::npos) values_[section + "/" + line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    bool empty() const { return values_.empty(); }
    // The text, or null when the file does not have it.
    const std::string* find(const std::string& section, const std::string& key) const {
        auto it = values_.find(section + "/" + key);
        return it == values_.end() ? nullptr : &it->second;
    }

private:
    std::map<std::string, std::string> values_;
};

struct Options {
    std::string outDirectory;
    bool alternateFont = false;
    Texts texts;
    std::string license;
};

// Where the dialogs take each control's text from: section and key.
struct TextPlace {
    int id;  // 0: the window title
    const char* section;
    const char* key;
};

const std::map<UINT, std::vector<TextPlace>> kTextPlaces = {
    {IDD_WIZARD,
     {{0, "Setup", "Caption"}, {IDC_HELP_HINT, "Setup", "Help"}, {IDC_BACK, "Setup", "Back"},
      {IDOK, "Setup", "Next"}, {IDCANCEL, "Setup", "Cancel"}}},
    {IDD_OS_PAGE, {{IDC_SELECT_GROUP, "System", "Select"}}},
    {IDD_PRINTER_PAGE,
     {{IDC_SELECT_GROUP, "Series", "Select"}, {IDC_RECEIPT, "Series", "Receipt"}, {IDC_TICKET, "Series", "Ticket"},
      {IDC_LABEL, "Series", "Label"}, {IDC_EMBEDDED, "Series", "Embedded"},
      {IDC_DEFAULT_PRINTER, "Series", "Default"}}},
    {IDD_PORT_PAGE,
     {{IDC_PORT_GROUP, "Confirm", "Set"}, {IDC_PORTS_LABEL, "Confirm", "Ports"}, {IDC_COM_GROUP, "Confirm", "Com"},
      {IDC_BAUD_LABEL, "Confirm", "BaudRate"}, {IDC_PARITY_LABEL, "Confirm", "Parity"},
      {IDC_BYTE_SIZE_LABEL, "Confirm", "ByteSize"}, {IDC_STOP_BITS_LABEL, "Confirm", "StopBits"},
      {IDC_PROTOCOL_LABEL, "Confirm", "Protocol"}, {IDC_RASTER, "Confirm", "Raster"}}},
    {IDD_AGREEMENT_PAGE,
     {{IDC_AGREEMENT_GROUP, "Legal", "Agreement"}, {IDC_ACCEPT, "Legal", "Accept"}, {IDC_REJECT, "Legal", "Reject"}}},
    {IDD_MODE_PAGE,
     {{IDC_TYPE_GROUP, "Mode", "Type"}, {IDC_TYPICAL, "Mode", "Typical"}, {IDC_ADVANCED, "Mode", "Advanced"},
      {IDC_REMARKS_LABEL, "Mode", "Remarks"}, {IDC_REMARK1, "Mode", "Note1"}}},
    {IDD_ABOUTBOX,
     {{0, "About", "Caption"}, {IDC_ABOUT_VERSION, "About", "Version"}, {IDC_ABOUT_COPYRIGHT, "About", "Copyright"},
      {IDOK, "About", "OK"}}},
};

void setText(HWND window, const std::wstring& text) { SetWindowTextW(window, text.c_str()); }

class Renderer {
public:
    explicit Renderer(Options& options) : options_(options) {
        if (options_.alternateFont) ui::sharedDialogFont().createAlternate();
    }

    void applyTexts(ui::Dialog& dialog) const {
        auto places = kTextPlaces.find(dialog.templateId());
        if (places == kTextPlaces.end()) return;
        for (const TextPlace& place : places->second) {
            const std::string* text = options_.texts.find(place.section, place.key);
            if (text) setText(place.id ? dialog.item(place.id) : dialog.hwnd(), widen(*text));
        }
    }
    std::wstring text(const char* section, const char* key, const wchar_t* fallback) const {
        const std::string* found = options_.texts.find(section, key);
        return found ? widen(*found) : std::wstring(fallback);
    }
    void applyFont(const ui::Dialog& dialog) const {
        if (options_.alternateFont) ui::sharedDialogFont().applyTo(dialog.hwnd());
    }

    // Shows a top-level window, lets it paint, and saves what the screen shows of it.
    bool capture(HWND window, const std::string& name) const {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        for (int i = 0; i < 10; ++i) {
            ui::pumpMessages(window);
            Sleep(30);
        }
        RECT rect;
        GetWindowRect(window, &rect);
        int width = rect.right - rect.left, height = rect.bottom - rect.top;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        SelectObject(memory, old);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);

        int stride = (width * 3 + 3) & ~3;
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + stride * height;
        std::string path = options_.outDirectory + "\\" + name + ".bmp";
        FILE* out = std::fopen(path.c_str(), "wb");
        bool written = out != nullptr;
        if (out) {
            written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                      std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                      std::fwrite(bits, stride, height, out) == static_cast<size_t>(height);
            std::fclose(out);
        }
        DeleteObject(bitmap);
        std::printf("%s %s (%dx%d)\n", written ? "wrote" : "FAILED", path.c_str(), width, height);
        return written;
    }

    // The frame with one page where the wizard puts it (or none).
    bool wizard(const std::string& name, UINT pageTemplate, const std::function<void(ui::Dialog&)>& fill,
                bool lastPage = false) const {
        ui::Dialog frame(IDD_WIZARD);
        if (!frame.create(nullptr)) return false;
        applyFont(frame);
        applyTexts(frame);
        if (lastPage) setText(frame.item(IDOK), text("Setup", "Install", L"Install"));
        EnableWindow(frame.item(IDC_BACK), TRUE);
        EnableWindow(frame.item(IDOK), TRUE);
        ui::Page page(pageTemplate);
        if (pageTemplate) {
            if (!page.create(frame.hwnd())) return false;
            RECT area;
            GetWindowRect(frame.item(IDC_PAGE_AREA), &area);
            MapWindowPoints(nullptr, frame.hwnd(), reinterpret_cast<POINT*>(&area), 2);
            SetWindowPos(page.hwnd(), nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            applyFont(page);
            applyTexts(page);
            if (fill) fill(page);
            page.show(SW_SHOW);
        }
        return capture(frame.hwnd(), name);
    }

    bool about() const {
        ui::Dialog box(IDD_ABOUTBOX);
        if (!box.create(nullptr)) return false;
        applyFont(box);
        applyTexts(box);
        return capture(box.hwnd(), "about-100");
    }

    // The progress window with the waiting text drawn the way the window
    // draws it (bold "System" 20, in the upper two thirds, centred).
    bool progress() const {
        class Preview : public ui::Dialog {
        public:
            Preview(std::wstring wait) : ui::Dialog(IDD_PROGRESS), wait_(std::move(wait)) {}

        protected:
            bool onPaint() override {
                PAINTSTRUCT paint;
                HDC dc = BeginPaint(hwnd(), &paint);
                RECT client;
                GetClientRect(hwnd(), &client);
                client.bottom = client.bottom * 2 / 3;
                HFONT font = CreateFontW(20, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"System");
                HGDIOBJ old = SelectObject(dc, font);
                SetBkMode(dc, TRANSPARENT);
                SetTextColor(dc, RGB(0, 51, 153));
                DrawTextW(dc, wait_.c_str(), -1, &client, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
                SelectObject(dc, old);
                DeleteObject(font);
                EndPaint(hwnd(), &paint);
                return true;
            }

        private:
            std::wstring wait_;
        };
        Preview window(text("Progress", "Wait", L"Please wait..."));
        if (!window.create(nullptr)) return false;
        applyFont(window);
        SendDlgItemMessageW(window.hwnd(), IDC_PROGRESS, PBM_SETPOS, 40, 0);
        return capture(window.hwnd(), "progress-141");
    }

    Options& options_;
};

void addItems(ui::Dialog& page, int id, const std::vector<std::wstring>& items, int select) {
    for (const std::wstring& item : items) SendDlgItemMessageW(page.hwnd(), id, CB_ADDSTRING, 0, (LPARAM)item.c_str());
    SendDlgItemMessageW(page.hwnd(), id, CB_SETCURSEL, select, 0);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--alternate-font") {
            options.alternateFont = true;
        } else if (arg == "--texts" && i + 1 < argc) {
            options.texts.load(argv[++i]);
        } else if (arg == "--license" && i + 1 < argc) {
            options.license = readFile(argv[++i]);
        } else if (options.outDirectory.empty()) {
            options.outDirectory = arg;
        }
    }
    if (options.outDirectory.empty()) {
        std::fprintf(stderr, "usage: render_dialogs OUTDIR [--alternate-font] [--texts FILE] [--license FILE]\n");
        return 2;
    }
    CreateDirectoryA(options.outDirectory.c_str(), nullptr);
    Renderer r(options);
    const std::wstring license = options.license.empty() ? L"License text" : widen(options.license);
    bool ok = true;

    ok &= r.wizard("wizard-102", 0, nullptr);
    ok &= r.wizard("agreement-133", IDD_AGREEMENT_PAGE, [&](ui::Dialog& p) {
        std::wstring text;
        for (wchar_t c : license) {  // the edit control wants CR LF
            if (c == L'\n' && (text.empty() || text.back() != L'\r')) text += L'\r';
            text += c;
        }
        SetDlgItemTextW(p.hwnd(), IDC_AGREEMENT_TEXT, text.c_str());
        p.checkRadio(IDC_ACCEPT, IDC_REJECT, IDC_REJECT);
    });
    ok &= r.wizard("printer-131", IDD_PRINTER_PAGE, [](ui::Dialog& p) {
        addItems(p, IDC_RECEIPT_LIST, {L"RP-80", L"RP-58"}, 0);
        addItems(p, IDC_TICKET_LIST, {L"TK-300"}, 0);
        addItems(p, IDC_LABEL_LIST, {L"LB-100"}, 0);
        addItems(p, IDC_EMBEDDED_LIST, {L"EM-58"}, 0);
        for (int id : {IDC_TICKET_LIST, IDC_LABEL_LIST, IDC_EMBEDDED_LIST}) EnableWindow(p.item(id), FALSE);
        p.checkRadio(IDC_RECEIPT, IDC_EMBEDDED, IDC_RECEIPT);
        CheckDlgButton(p.hwnd(), IDC_DEFAULT_PRINTER, BST_CHECKED);
    });
    ok &= r.wizard("mode-137", IDD_MODE_PAGE,
                   [](ui::Dialog& p) { p.checkRadio(IDC_TYPICAL, IDC_ADVANCED, IDC_TYPICAL); });
    ok &= r.wizard("mode-137-advanced", IDD_MODE_PAGE, [&](ui::Dialog& p) {
        p.checkRadio(IDC_TYPICAL, IDC_ADVANCED, IDC_ADVANCED);
        SetDlgItemTextW(p.hwnd(), IDC_REMARK1, r.text("Mode", "Note2", L"Second remark line").c_str());
        SetDlgItemTextW(p.hwnd(), IDC_REMARK2, r.text("Mode", "Note3", L"Third remark line").c_str());
        p.showItem(IDC_REMARK2, true);
    });
    ok &= r.wizard("os-130", IDD_OS_PAGE, [](ui::Dialog& p) {
        p.checkRadio(IDC_OS_98ME, IDC_OS_WIN7, IDC_OS_XP);
        for (int id : {IDC_OS_2000, IDC_OS_2003, IDC_OS_VISTA, IDC_OS_2008, IDC_OS_WIN7}) EnableWindow(p.item(id), FALSE);
    });
    auto portPage = [&](ui::Dialog& p, bool usb) {
        addItems(p, IDC_PORT_LIST, {L"HVCOM1:", L"HVCOM2:", L"LPT1:", L"USB_RP-80_1"}, usb ? 3 : 0);
        SendDlgItemMessageW(p.hwnd(), IDC_BAUD_LIST, CB_SETCURSEL, 5, 0);
        SendDlgItemMessageW(p.hwnd(), IDC_BYTE_SIZE_LIST, CB_SETCURSEL, 3, 0);
        SendDlgItemMessageW(p.hwnd(), IDC_STOP_BITS_LIST, CB_SETCURSEL, 0, 0);
        std::vector<std::wstring> parity, flow;
        for (const char* key : {"Parity.Even", "Parity.Mark", "Parity.None", "Parity.Odd", "Parity.Space"})
            parity.push_back(r.text("Confirm", key, widen(key + 7).c_str()));
        for (const char* key : {"Protocol.None", "Protocol.Xonoff", "Protocol.Hardware"})
            flow.push_back(r.text("Confirm", key, widen(key + 9).c_str()));
        addItems(p, IDC_PARITY_LIST, parity, 2);
        addItems(p, IDC_FLOW_CONTROL_LIST, flow, 2);
        for (int id = IDC_BAUD_LIST; id <= IDC_FLOW_CONTROL_LIST; ++id) EnableWindow(p.item(id), !usb);
        EnableWindow(p.item(IDC_RASTER), usb);
        CheckDlgButton(p.hwnd(), IDC_RASTER, usb ? BST_CHECKED : BST_UNCHECKED);
    };
    ok &= r.wizard("port-132", IDD_PORT_PAGE, [&](ui::Dialog& p) { portPage(p, false); }, true);
    CStaticEx message;
    ok &= r.wizard("port-132-usb-message", IDD_PORT_PAGE, [&](ui::Dialog& p) {
        portPage(p, true);
        message.attach(p.item(IDC_DRIVER_MESSAGE));
        message.setTextColour(RGB(0, 0, 255)).setBackgroundColour(RGB(255, 202, 253)).setCharacterHeight(14);
        message.setFaceName("Arial");
        SetWindowTextW(message.hwnd(), r.text("Message", "IDS_ERR_UPDATEUSB", L"USB driver message").c_str());
        message.show(SW_SHOW);
    }, true);
    ok &= r.about();
    ok &= r.progress();
    return ok ? 0 : 1;
}
