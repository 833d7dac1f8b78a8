// Every dialog template of the program, created for real: each control with
// its id, kind, position (the template's dialog units through MapDialogRect),
// text, visibility, enabled state and list items; and the other resources
// (icon, tooltip string, version, manifest).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "resources/ResourceIds.h"
#include "ui/Controls.h"

namespace {

enum Kind {
    GroupBox,
    RadioStartingGroup,
    Radio,
    CheckBox,
    PushButton,
    DefaultPushButton,
    Text,
    BlackFrame,
    EtchedFrame,
    EtchedLine,
    IconPicture,
    DropDownList,
    SortedDropDownList,
    ReadOnlyText,
    ProgressBar
};

struct Expected {
    int id;
    Kind kind;
    int x, y, width, height;
    const wchar_t* text;  // null: not checked (lists, frames)
    bool visible;
    bool enabled;
};

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// A dialog turns a control's WS_BORDER into a sunken edge.
void expectBorder(HWND control) {
    bool border = (GetWindowLongW(control, GWL_STYLE) & WS_BORDER) != 0;
    bool edge = (GetWindowLongW(control, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)) != 0;
    EXPECT_TRUE(border || edge);
}

// The class and the style bits that make a control of this kind.
void expectKind(HWND control, Kind kind, int id) {
    DWORD style = GetWindowLongW(control, GWL_STYLE);
    std::wstring cls = className(control);
    SCOPED_TRACE(::testing::Message() << "control " << id);
    switch (kind) {
    case GroupBox:
        EXPECT_EQ(cls, L"Button");
        EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_GROUPBOX));
        break;
    case RadioStartingGroup:
    case Radio:
        EXPECT_EQ(cls, L"Button");
        EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_AUTORADIOBUTTON));
        EXPECT_EQ((style & WS_GROUP) != 0, kind == RadioStartingGroup);
        break;
    case CheckBox:
        EXPECT_EQ(cls, L"Button");
        EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_AUTOCHECKBOX));
        break;
    case PushButton:
        EXPECT_EQ(cls, L"Button");
        EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON));
        break;
    case DefaultPushButton:
        EXPECT_EQ(cls, L"Button");
        EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
        break;
    case Text:
        EXPECT_EQ(cls, L"Static");
        EXPECT_EQ(style & SS_TYPEMASK, static_cast<DWORD>(SS_LEFT));
        break;
    case BlackFrame:
        EXPECT_EQ(cls, L"Static");
        EXPECT_EQ(style & SS_TYPEMASK, static_cast<DWORD>(SS_BLACKFRAME));
        break;
    case EtchedFrame:
        EXPECT_EQ(cls, L"Static");
        EXPECT_EQ(style & SS_TYPEMASK, static_cast<DWORD>(SS_ETCHEDFRAME));
        break;
    case EtchedLine:
        EXPECT_EQ(cls, L"Static");
        EXPECT_EQ(style & SS_TYPEMASK, static_cast<DWORD>(SS_ETCHEDHORZ));
        break;
    case IconPicture:
        EXPECT_EQ(cls, L"Static");
        EXPECT_EQ(style & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
        break;
    case DropDownList:
    case SortedDropDownList:
        EXPECT_EQ(cls, L"ComboBox");
        EXPECT_EQ(style & 0x3, static_cast<DWORD>(CBS_DROPDOWNLIST));

        EXPECT_EQ((style & CBS_SORT) != 0, kind == SortedDropDownList);
        break;
    case ReadOnlyText: {
        EXPECT_EQ(cls, L"Edit");
        const DWORD wanted = ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP;
        EXPECT_EQ(style & wanted, wanted);
        expectBorder(control);
        break;
    }
    case ProgressBar:
        // The version 6 bar draws its own frame in place of the border.
        EXPECT_EQ(cls, L"msctls_progress32");
        break;
    }
}

struct TemplateItem {
    int id;
    DWORD style;
    int x, y, width, height;
};

// Skips a name-or-ordinal field of a template.
const WORD* skipNameOrOrdinal(const WORD* p) {
    if (*p == 0x0000) return p + 1;
    if (*p == 0xFFFF) return p + 2;
    while (*p) ++p;
    return p + 1;
}

const WORD* alignDword(const WORD* p) {
    return reinterpret_cast<const WORD*>((reinterpret_cast<uintptr_t>(p) + 3) & ~uintptr_t(3));
}

// The controls of an extended dialog template, in template order.
std::vector<TemplateItem> readTemplate(UINT templateId) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5));
    if (!found) return {};
    auto p = static_cast<const WORD*>(LockResource(LoadResource(module, found)));
    if (p[0] != 1 || p[1] != 0xFFFF) return {};  // not DLGTEMPLATEEX
    DWORD style;
    std::memcpy(&style, p + 6, 4);
    int count = p[8];
    p = skipNameOrOrdinal(p + 13);  // menu
    p = skipNameOrOrdinal(p);       // class
    p = skipNameOrOrdinal(p);       // title
    if (style & DS_SETFONT) p = skipNameOrOrdinal(p + 3);
    std::vector<TemplateItem> items;
    for (int i = 0; i < count; ++i) {
        p = alignDword(p);
        TemplateItem item;
        std::memcpy(&item.style, p + 4, 4);
        auto coordinates = reinterpret_cast<const short*>(p + 6);
        item.x = coordinates[0];
        item.y = coordinates[1];
        item.width = coordinates[2];
        item.height = coordinates[3];
        DWORD id;
        std::memcpy(&id, p + 10, 4);
        item.id = static_cast<int>(id);
        p = skipNameOrOrdinal(p + 12);  // class
        p = skipNameOrOrdinal(p);       // text
        WORD extra = *p++;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + extra);
        items.push_back(item);
    }
    return items;
}

class DialogTemplateTest : public ::testing::Test {
protected:
    // Creates the template (a child one inside the host) and checks the
    // dialog's own size, then every expected control, then that there are
    // no others.
    void check(UINT templateId, bool child, int width, int height, const std::vector<Expected>& controls) {
        dialog_ = std::make_unique<uitest::ScriptedDialog>(templateId);
        ASSERT_TRUE(dialog_->create(child ? host_.hwnd() : nullptr));
        HWND dialog = dialog_->hwnd();
        DWORD style = GetWindowLongW(dialog, GWL_STYLE);
        EXPECT_EQ((style & WS_CHILD) != 0, child);
        RECT client;
        GetClientRect(dialog, &client);
        RECT size = uitest::dialogUnits(dialog, 0, 0, width, height);
        EXPECT_EQ(client.right, size.right);
        EXPECT_EQ(client.bottom, size.bottom);

        for (const Expected& e : controls) {
            SCOPED_TRACE(::testing::Message() << "template " << templateId << " control " << e.id);
            HWND control = e.id == IDC_STATIC ? staticOfKind(dialog, e.kind) : GetDlgItem(dialog, e.id);
            ASSERT_NE(control, nullptr);
            expectKind(control, e.kind, e.id);
            RECT at = uitest::rectInParent(control);
            RECT place = uitest::dialogUnits(dialog, e.x, e.y, 0, 0);
            RECT extent = uitest::dialogUnits(dialog, 0, 0, e.width, e.height);
            EXPECT_EQ(at.left, place.left);
            EXPECT_EQ(at.top, place.top);
            if (e.kind == IconPicture) {
                // An icon picture takes the size of its icon.
            } else if (e.kind == EtchedLine) {
                // Wine draws the etched edge outside the template's width.
                EXPECT_NEAR(at.right - at.left, extent.right, 2);
                EXPECT_EQ(at.bottom - at.top, extent.bottom);
            } else if (e.kind == DropDownList || e.kind == SortedDropDownList) {
                // A drop-down list is as high as its text, and the controls
                // library decides how far the list opens; the template's
                // height and scroll bar are checked on the template itself.
                EXPECT_EQ(at.right - at.left, extent.right);
            } else {
                EXPECT_EQ(at.right - at.left, extent.right);
                EXPECT_EQ(at.bottom - at.top, extent.bottom);
            }
            if (e.text) {
                ui::Window view;
                view.attach(control);
                EXPECT_EQ(view.textW(), std::wstring(e.text));
                view.detach();
            }
            DWORD controlStyle = GetWindowLongW(control, GWL_STYLE);
            EXPECT_EQ((controlStyle & WS_VISIBLE) != 0, e.visible);
            EXPECT_EQ((controlStyle & WS_DISABLED) == 0, e.enabled);
        }
        int children = 0;
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++children;
        EXPECT_EQ(children, static_cast<int>(controls.size()));
        checkTemplateItems(templateId, controls);
    }

    // The styles user32 changes when it creates a control (a combo box hands
    // its scroll bar to its list, a bordered control gets a client edge) and
    // the combo boxes' heights, read from the template resource itself.
    void checkTemplateItems(UINT templateId, const std::vector<Expected>& controls) {
        std::vector<TemplateItem> items = readTemplate(templateId);
        ASSERT_EQ(items.size(), controls.size());
        for (size_t i = 0; i < items.size(); ++i) {
            const Expected& e = controls[i];
            const TemplateItem& t = items[i];
            SCOPED_TRACE(::testing::Message() << "template " << templateId << " item " << i);
            EXPECT_EQ(t.id, e.id);
            EXPECT_EQ(t.x, e.x);
            EXPECT_EQ(t.y, e.y);
            if (e.kind != IconPicture) {
                EXPECT_EQ(t.width, e.width);
                EXPECT_EQ(t.height, e.height);
            }
            if (e.kind == DropDownList || e.kind == SortedDropDownList)
                EXPECT_NE(t.style & WS_VSCROLL, 0u);
            if (e.kind == ReadOnlyText || e.kind == ProgressBar) EXPECT_NE(t.style & WS_BORDER, 0u);
        }
    }

    std::vector<std::wstring> items(int id) {
        ui::ComboBox list;
        list.attach(GetDlgItem(dialog_->hwnd(), id));
        std::vector<std::wstring> result;
        for (int i = 0; i < list.count(); ++i) result.push_back(list.itemTextW(i));
        list.detach();
        return result;
    }

    // The window is centred on the work area (DS_CENTER, no owner).
    void expectCentred() {
        RECT window, work;
        GetWindowRect(dialog_->hwnd(), &window);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_NEAR((window.left + window.right) / 2, (work.left + work.right) / 2, 1);
        EXPECT_NEAR((window.top + window.bottom) / 2, (work.top + work.bottom) / 2, 1);
    }

    uitest::Host host_;
    std::unique_ptr<uitest::ScriptedDialog> dialog_;

private:
    // Controls without an id are told apart by their kind.
    static HWND staticOfKind(HWND dialog, Kind kind) {
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (GetDlgCtrlID(c) != IDC_STATIC && GetDlgCtrlID(c) != 0xFFFF) continue;
            DWORD type = GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK;
            if ((kind == EtchedLine && type == SS_ETCHEDHORZ) || (kind == IconPicture && type == SS_ICON)) return c;
        }
        return nullptr;
    }
};

TEST_F(DialogTemplateTest, WizardFrame102) {
    check(IDD_WIZARD, false, 296, 182,
          {{IDC_LEFT_PICTURE, BlackFrame, 7, 5, 83, 158, nullptr, true, true},
           {IDC_PAGE_AREA, EtchedFrame, 96, 1, 193, 158, nullptr, false, true},
           {IDC_STATIC, EtchedLine, 100, 162, 189, 1, nullptr, true, true},
           {IDC_HELP_HINT, Text, 4, 172, 104, 8, L"Press F1 for help", true, true},
           {IDC_BACK, PushButton, 112, 166, 50, 14, L"< Back", true, false},
           {IDOK, DefaultPushButton, 168, 166, 50, 14, L"Next >", true, false},
           {IDCANCEL, PushButton, 224, 166, 50, 14, L"Cancel", true, true}});
    HWND frame = dialog_->hwnd();
    DWORD style = GetWindowLongW(frame, GWL_STYLE);
    const DWORD wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    EXPECT_EQ(style & wanted, wanted);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0u);
    ui::Window view;
    view.attach(frame);
    EXPECT_EQ(view.textW(), L"Printer Driver Setup");
    view.detach();
    expectCentred();
}

TEST_F(DialogTemplateTest, OsPage130) {
    check(IDD_OS_PAGE, true, 200, 162,
          {{IDC_SELECT_GROUP, GroupBox, 7, 5, 185, 150, nullptr, true, true},
           {IDC_OS_2000, RadioStartingGroup, 37, 25, 69, 10, L"Windows 2000", true, true},
           {IDC_OS_XP, Radio, 37, 47, 69, 10, L"Windows XP", true, true},
           {IDC_OS_2003, Radio, 37, 70, 100, 10, L"Windows Server 2003 ", true, true},
           {IDC_OS_VISTA, Radio, 37, 93, 69, 10, L"Windows Vista", true, true},
           {IDC_OS_WIN7, Radio, 37, 117, 108, 10, L"Windows 7", true, true},
           {IDC_OS_2008, Radio, 37, 138, 69, 10, L"Windows 2008", true, true},
           {IDC_OS_98ME, Radio, 125, 85, 66, 10, L"Windows 98/Me", false, true},
           {IDC_OS_NT, Radio, 119, 46, 69, 10, L"Windows NT", false, true}});
    // All eight buttons are one group, so the page can mark any of them.
    EXPECT_TRUE(dialog_->checkRadio(IDC_OS_98ME, IDC_OS_WIN7, IDC_OS_VISTA));
    EXPECT_EQ(IsDlgButtonChecked(dialog_->hwnd(), IDC_OS_VISTA), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog_->hwnd(), IDC_OS_XP), BST_UNCHECKED);
}

TEST_F(DialogTemplateTest, PrinterPage131) {
    check(IDD_PRINTER_PAGE, true, 200, 162,
          {{IDC_SELECT_GROUP, GroupBox, 7, 4, 185, 136, L"选择安装打印机", true, true},
           {IDC_RECEIPT, RadioStartingGroup, 12, 27, 66, 10, L"收据打印机", true, true},
           {IDC_TICKET, Radio, 13, 55, 65, 10, L"票据打印机", true, true},
           {IDC_LABEL, Radio, 14, 83, 64, 10, L"标签打印机", true, true},
           {IDC_EMBEDDED, Radio, 15, 111, 64, 10, L"嵌入式打印机", true, true},
           {IDC_RECEIPT_LIST, DropDownList, 79, 25, 104, 89, nullptr, true, true},
           {IDC_TICKET_LIST, DropDownList, 79, 53, 105, 81, nullptr, true, true},
           {IDC_LABEL_LIST, DropDownList, 79, 81, 105, 78, nullptr, true, true},
           {IDC_EMBEDDED_LIST, DropDownList, 79, 109, 105, 108, nullptr, true, true},
           {IDC_DEFAULT_PRINTER, CheckBox, 7, 149, 185, 9, L"设置为默认打印机", true, true}});
    for (int id : {IDC_RECEIPT_LIST, IDC_TICKET_LIST, IDC_LABEL_LIST, IDC_EMBEDDED_LIST})
        EXPECT_TRUE(items(id).empty()) << id;
    // The lists keep the order models are added in.
    ui::ComboBox list;
    list.attach(GetDlgItem(dialog_->hwnd(), IDC_TICKET_LIST));
    list.addString("Model B");
    list.addString("Model A");
    EXPECT_EQ(items(IDC_TICKET_LIST), (std::vector<std::wstring>{L"Model B", L"Model A"}));
    list.detach();
}

TEST_F(DialogTemplateTest, PortPage132) {
    check(IDD_PORT_PAGE, true, 207, 162,
          {{IDC_PORT_GROUP, GroupBox, 7, 4, 184, 110, L"Set Printer Port", true, true},
           {IDC_PORTS_LABEL, Text, 20, 18, 46, 8, L"Ports:", true, true},
           {IDC_PORT_LIST, SortedDropDownList, 67, 16, 119, 74, nullptr, true, true},
           {IDC_COM_GROUP, GroupBox, 14, 31, 172, 79, L"COM port setting", true, true},
           {IDC_BAUD_LABEL, Text, 19, 44, 47, 16, L"Baud Rate:", true, true},
           {IDC_BAUD_LIST, DropDownList, 67, 42, 38, 98, nullptr, true, true},
           {IDC_PARITY_LABEL, Text, 108, 44, 29, 16, L"Parity:", true, true},
           {IDC_PARITY_LIST, DropDownList, 138, 42, 47, 82, nullptr, true, true},
           {IDC_BYTE_SIZE_LABEL, Text, 19, 68, 47, 16, L"Byte Size:", true, true},
           {IDC_BYTE_SIZE_LIST, DropDownList, 67, 66, 38, 68, nullptr, true, true},
           {IDC_STOP_BITS_LABEL, Text, 107, 68, 43, 16, L"Stop Bits:", true, true},
           {IDC_STOP_BITS_LIST, DropDownList, 151, 66, 33, 55, nullptr, true, true},
           {IDC_PROTOCOL_LABEL, Text, 19, 92, 47, 16, L"Protocol:", true, true},
           {IDC_FLOW_CONTROL_LIST, DropDownList, 67, 90, 93, 70, nullptr, true, true},
           {IDC_RASTER, CheckBox, 7, 117, 184, 8, L"Raster Graphic Printing", true, false},
           {IDC_DRIVER_MESSAGE, Text, 6, 125, 186, 26, L"", false, true}});
    EXPECT_EQ(items(IDC_BAUD_LIST), (std::vector<std::wstring>{L"110", L"300", L"1200", L"2400", L"4800",
                                                               L"9600", L"19200", L"38400", L"57600",
                                                               L"115200"}));
    EXPECT_EQ(items(IDC_BYTE_SIZE_LIST), (std::vector<std::wstring>{L"5", L"6", L"7", L"8"}));
    EXPECT_EQ(items(IDC_STOP_BITS_LIST), (std::vector<std::wstring>{L"1", L"1.5", L"2"}));
    EXPECT_TRUE(items(IDC_PORT_LIST).empty());
    EXPECT_TRUE(items(IDC_PARITY_LIST).empty());
    EXPECT_TRUE(items(IDC_FLOW_CONTROL_LIST).empty());
    // Nothing is selected until the page or the baud preset selects.
    EXPECT_EQ(SendDlgItemMessageW(dialog_->hwnd(), IDC_BAUD_LIST, CB_GETCURSEL, 0, 0), CB_ERR);
    // Only the port list sorts.
    ui::ComboBox ports;
    ports.attach(GetDlgItem(dialog_->hwnd(), IDC_PORT_LIST));
    for (const char* name : {"USB_A_1", "LPT1:", "HVCOM2:", "COM1:"}) ports.addString(name);
    EXPECT_EQ(items(IDC_PORT_LIST), (std::vector<std::wstring>{L"COM1:", L"HVCOM2:", L"LPT1:", L"USB_A_1"}));
    ports.detach();
}

TEST_F(DialogTemplateTest, AgreementPage133) {
    check(IDD_AGREEMENT_PAGE, true, 197, 162,
          {{IDC_AGREEMENT_GROUP, GroupBox, 6, 4, 183, 151, nullptr, true, true},
           {IDC_AGREEMENT_TEXT, ReadOnlyText, 9, 13, 179, 121, L"", true, true},
           {IDC_ACCEPT, RadioStartingGroup, 34, 140, 72, 10, nullptr, true, true},
           {IDC_REJECT, Radio, 109, 140, 78, 10, nullptr, true, true}});
    // Typing into the text does nothing.
    HWND text = GetDlgItem(dialog_->hwnd(), IDC_AGREEMENT_TEXT);
    SendMessageW(text, WM_CHAR, 'x', 0);
    EXPECT_EQ(GetWindowTextLengthW(text), 0);
}

TEST_F(DialogTemplateTest, ModePage137) {
    check(IDD_MODE_PAGE, true, 197, 162,
          {{IDC_TYPE_GROUP, GroupBox, 7, 7, 178, 147, nullptr, true, true},
           {IDC_TYPICAL, RadioStartingGroup, 38, 27, 140, 10, nullptr, true, true},
           {IDC_ADVANCED, Radio, 38, 55, 140, 10, nullptr, true, true},
           {IDC_STATIC, EtchedLine, 16, 79, 160, 1, nullptr, true, true},
           {IDC_REMARKS_LABEL, Text, 16, 89, 100, 8, nullptr, true, true},
           {IDC_REMARK1, Text, 32, 100, 149, 16, nullptr, true, true},
           {IDC_REMARK2, Text, 32, 116, 149, 16, nullptr, false, true},
           {IDC_REMARK3, Text, 32, 133, 149, 16, nullptr, false, true}});
}

TEST_F(DialogTemplateTest, ProgressWindow141) {
    check(IDD_PROGRESS, false, 220, 46, {{IDC_PROGRESS, ProgressBar, 7, 28, 206, 12, nullptr, true, true}});
    HWND window = dialog_->hwnd();
    DWORD style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_NE(style & WS_POPUP, 0u);
    EXPECT_NE(style & DS_MODALFRAME, 0u);
    EXPECT_NE(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, L"System");
    expectCentred();
}

TEST_F(DialogTemplateTest, AboutBox100) {
    check(IDD_ABOUTBOX, false, 235, 55,
          {{IDC_STATIC, IconPicture, 11, 17, 0, 0, nullptr, true, true},
           {IDC_ABOUT_VERSION, Text, 40, 10, 119, 8, nullptr, true, true},
           {IDC_ABOUT_COPYRIGHT, Text, 40, 25, 119, 8, nullptr, true, true},
           {IDOK, DefaultPushButton, 178, 7, 50, 14, L"OK", true, true}});
}

TEST(ProgramResourcesTest, IconStringVersionAndManifest) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    for (int size : {32, 16}) {
        HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_SETUP), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour = {};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }

    EXPECT_EQ(ui::loadString(IDS_F1_HELP_TIP), L"按“F1”查看帮助");

    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD unused = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &unused);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
    wchar_t* description = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904b0\\FileDescription",
                               reinterpret_cast<void**>(&description), &length));
    EXPECT_STREQ(description, L"Printer Driver Setup");

    HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(manifest, nullptr);
    std::string text(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                     SizeofResource(module, manifest));
    EXPECT_NE(text.find("level=\"requireAdministrator\""), std::string::npos);
    // The manifest is in force: the controls library the program imports is
    // the side-by-side version 6 one, not the system directory's.
    HMODULE comctl = nullptr;
    ASSERT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&InitCommonControlsEx)),
                                   &comctl));
    wchar_t library[MAX_PATH] = {};
    GetModuleFileNameW(comctl, library, MAX_PATH);
    std::wstring libraryPath(library);
    for (wchar_t& c : libraryPath) c = towlower(c);
    EXPECT_NE(libraryPath.find(L"\\winsxs\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6.0."),
              std::wstring::npos)
        << libraryPath;
}

}  // namespace
