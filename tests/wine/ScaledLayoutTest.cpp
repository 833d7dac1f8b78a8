// The wizard on a scaled screen: walked page by page with the sample
// medium's texts, and with a longer translation made from them, no control
// leaves its page or the frame and no text is wider than its control (a
// label that wraps must keep every line inside it). The suite runs at the
// screen's dots per inch: at 96, and (tests/wine/run.sh with WINE_DPI) at
// 144 and 192, which LAYOUT_DPI names so that a setting Wine did not take
// fails instead of passing at 96 unseen.
#include "WizardTestSupport.h"

#include <cstdlib>
#include <sstream>

#include "config/TextTable.h"
#include "resources/ResourceIds.h"
#include "ui/ScreenScale.h"

namespace {

std::string windowsPath(const char* hostPath) {
    std::string path = hostPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return "Z:" + path;
}

std::string realFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    std::string content(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!content.empty()) ReadFile(file, &content[0], static_cast<DWORD>(content.size()), &read, nullptr);
    CloseHandle(file);
    content.resize(read);
    return content;
}

// A pseudo-translation of one text, in code page 1252: its vowels accented
// and about a third more letters added as words of their own, so that it
// wraps as a longer sentence does. Mnemonics, line-break escapes and
// placeholders stay as they are.
std::string lengthened(const std::string& text) {
    static const std::string plain = "aeiouyAEIOUnc", accented = "\xE0\xE9\xEE\xF4\xFC\xFF\xC0\xC9\xCE\xD4\xDC\xF1\xE7";
    static const std::string padding = "\xE7\xE0\xF1\xE9\xDF\xF4\xFC\xEE";
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if ((c == '\\' || c == '%') && i + 1 < text.size()) {
            out += c;
            out += text[++i];
            continue;
        }
        size_t at = plain.find(c);
        out += at == std::string::npos ? c : accented[at];
    }
    size_t extra = text.size() * 35 / 100 + 2;
    for (size_t i = 0; i < extra; ++i) {
        out += i % 7 == 0 ? ' ' : padding[i % padding.size()];
    }
    return out;
}

// Every value of a language file lengthened; the help document keeps its name.
std::string longTranslation(const std::string& file) {
    std::istringstream lines(file);
    std::string line, out, section;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t equals = line.find('=');
        if (!line.empty() && line[0] == '[') section = line;
        if (equals != std::string::npos && !(section == "[Help Guide]" && line.compare(0, 5, "Name=") == 0))
            line = line.substr(0, equals + 1) + lengthened(line.substr(equals + 1));
        out += line + "\r\n";
    }
    return out;
}

std::wstring windowText(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

// What a control shows of its text: "&&" is one ampersand, a single one
// only underlines the next letter.
std::wstring shownText(const std::wstring& text) {
    std::wstring shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return shown;
}

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

RECT clientOnScreen(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

std::string describe(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return "control " + std::to_string(GetDlgCtrlID(window)) + " \"" + text + "\"";
}

// Measures texts in a control's own font.
class Measure {
public:
    explicit Measure(HWND control) : control_(control), dc_(GetDC(control)) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        previous_ = SelectObject(dc_, font ? font : GetStockObject(SYSTEM_FONT));
        GetTextMetricsW(dc_, &metrics_);
    }
    ~Measure() {
        SelectObject(dc_, previous_);
        ReleaseDC(control_, dc_);
    }
    int width(const std::wstring& text) const {
        SIZE size = {0, 0};
        GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }
    const TEXTMETRICW& metrics() const { return metrics_; }
    // The lines a word-wrapping static makes of the text in `width`, or -1
    // when one word alone is wider.
    int wrappedLines(const std::wstring& text, int available) const {
        int lines = 0;
        std::wistringstream paragraphs(text);
        std::wstring paragraph;
        while (std::getline(paragraphs, paragraph)) {
            if (!paragraph.empty() && paragraph.back() == L'\r') paragraph.pop_back();
            std::wistringstream words(paragraph);
            std::wstring word, line;
            ++lines;
            while (words >> word) {
                if (width(word) > available) return -1;
                std::wstring longer = line.empty() ? word : line + L" " + word;
                if (width(longer) <= available) {
                    line = longer;
                } else {
                    ++lines;
                    line = word;
                }
            }
        }
        return lines;
    }

private:
    HWND control_;
    HDC dc_;
    HGDIOBJ previous_;
    TEXTMETRICW metrics_;
};

class ScaledLayout : public wizardtest::WizardFixture {
protected:
    void SetUp() override {
        const char* expected = std::getenv("LAYOUT_DPI");
        ASSERT_EQ(ui::screenDpi(), expected ? std::atoi(expected) : 96)
            << "the screen's dots per inch are not those the run asked Wine for";
        const std::string medium = windowsPath(MEDIUM_DIR) + "\\";
        sample_ = realFile(medium + "language\\setup.ini");
        ASSERT_FALSE(sample_.empty()) << "the sample medium's language file, in " << medium;
        for (const char* file : {"DRVCONFIG\\setup.ini", "DRVCONFIG\\setup_receipt.ini", "DRVCONFIG\\setup_ticket.ini",
                                 "DRVCONFIG\\setup_lable.ini", "DRVCONFIG\\setup_embedded.ini", "License.txt"})
            writeFile(file, realFile(medium + file));
    }
    void useLanguage(const std::string& content) {
        writeFile("language\\setup.ini", content);
        app::reopenMessageTexts();
    }

    // The page shown and the frame: every control inside, every text fitting.
    void checkShownPage(ui::Dialog& page) {
        SCOPED_TRACE("page " + std::to_string(page.templateId()) + " at " + std::to_string(ui::screenDpi()) + " dpi");
        checkChildren(frame.hwnd());
        checkChildren(page.hwnd());
    }
    void checkChildren(HWND parent) {
        const RECT inside = clientOnScreen(parent);
        for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            RECT placed, common;
            GetWindowRect(child, &placed);
            IntersectRect(&common, &placed, &inside);
            EXPECT_TRUE(EqualRect(&common, &placed)) << describe(child) << " leaves its parent";
            // Pages are checked when they are shown, with their own texts.
            if (className(child) == L"#32770") continue;
            checkText(child);
        }
    }
    void checkText(HWND control) {
        const std::wstring kind = className(control);
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        RECT client;
        GetClientRect(control, &client);
        Measure measure(control);
        const int average = measure.metrics().tmAveCharWidth;
        if (kind == L"ComboBox") {
            // The items as the closed list and its drop-down show them, beside the arrow.
            const int available = client.right - GetSystemMetrics(SM_CXVSCROLL) - 2 * GetSystemMetrics(SM_CXEDGE);
            const int count = static_cast<int>(SendMessageW(control, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                wchar_t item[256] = {};
                if (SendMessageW(control, CB_GETLBTEXTLEN, i, 0) >= 256) continue;
                SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
                EXPECT_LE(measure.width(item), available) << describe(control) << " item " << i;
            }
            return;
        }
        const std::wstring text = shownText(windowText(control));
        if (text.empty()) return;
        if (kind == L"Button") {
            const LONG type = style & BS_TYPEMASK;
            int available = client.right;
            if (type == BS_GROUPBOX)
                available -= 2 * average;
            else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
                available -= 2 * GetSystemMetrics(SM_CXEDGE) + 2;
            else  // a check box or radio button: the box, then a gap
                available -= GetSystemMetrics(SM_CXMENUCHECK) + average / 2;
            EXPECT_LE(measure.width(text), available) << describe(control);
        } else if (kind == L"Static" && (style & SS_TYPEMASK) <= SS_RIGHT) {
            const int lines = measure.wrappedLines(text, client.right);
            EXPECT_GE(lines, 1) << describe(control) << ": a word is wider than the control";
            EXPECT_LE(lines * measure.metrics().tmHeight, client.bottom)
                << describe(control) << ": " << lines << " lines do not fit";
        }
    }
    // What the program sizes itself is never smaller than the dialogs' own
    // text, which the system scales: the driver message's font.
    void checkOwnFontScales(HWND control) {
        TEXTMETRICW own = Measure(control).metrics(), dialog = Measure(GetParent(control)).metrics();
        EXPECT_GE(own.tmHeight, dialog.tmHeight) << describe(control) << " keeps a size for 96 dots per inch";
    }

    // The whole wizard, from the agreement to the port page.
    void walk() {
        addPages(true);
        ASSERT_TRUE(start(true));
        ASSERT_TRUE(shown(agreement));
        checkShownPage(agreement);
        click(agreement, IDC_ACCEPT);
        press(IDOK);
        ASSERT_TRUE(shown(printer));
        checkShownPage(printer);
        press(IDOK);
        ASSERT_TRUE(shown(mode));
        if (enabledOn(mode, IDC_ADVANCED)) click(mode, IDC_ADVANCED);
        checkShownPage(mode);
        press(IDOK);
        ASSERT_TRUE(shown(osPage));
        checkShownPage(osPage);
        press(IDOK);
        ASSERT_TRUE(shown(port));
        // The USB driver message, as the page shows it when the driver is updated.
        HWND message = port.item(IDC_DRIVER_MESSAGE);
        SetWindowTextA(message, app::MessageTexts().GetText("IDS_ERR_UPDATEUSB"));
        ShowWindow(message, SW_SHOW);
        checkShownPage(port);
        checkOwnFontScales(message);
    }

    std::string sample_;
};

TEST_F(ScaledLayout, WithTheSampleTextsEveryControlAndTextFits) {
    useLanguage(sample_);
    walk();
}

TEST_F(ScaledLayout, WithALongTranslationEveryControlAndTextFits) {
    useLanguage(longTranslation(sample_));
    // The translation is longer indeed.
    EXPECT_EQ(app::TextTable("Confirm").GetText("Ports"), lengthened("Ports:"));
    walk();
}

}  // namespace
