// Every control of every dialog template as the pages show it: identifier,
// class, text, style, and rectangle converted from dialog units; the frame
// every template shares; and the bitmaps the picture statics show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/scoped_handles.h"
#include "setup/res/resource.h"
#include "screenshot.h"
#include "ui_driver.h"

namespace {

const DWORD kSeparator = SS_SUNKEN | SS_BLACKFRAME;
const DWORD kText = SS_LEFT | WS_GROUP;
const DWORD kReadOnlyText = ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP;

struct Control {
    int id;
    const char* cls;
    const char* text;
    DWORD style;  // the bits that make the control what it is
    int x, y, w, h;
    int bitmap = 0;  // bitmap resource a picture static shows
};

struct Template {
    int id;
    const char* name;
    std::vector<Control> controls;  // in template order
};

const std::vector<Template>& Templates() {
    static const std::vector<Template> all = {
        {IDD_INSTALLTYPE,
         "install type",
         {
             {IDC_VERSION_TEXT, "Static", "", kText, 6, 171, 154, 8},
             {IDC_DEFAULT, "Button", "&Default", BS_OWNERDRAW | WS_TABSTOP, 26, 66, 42, 37},
             {IDC_CUSTOM, "Button", "&Custom", BS_OWNERDRAW | WS_TABSTOP, 26, 113, 43, 36},
             {-1, "Static", "Please select an installation type by pressing one of the following two buttons:", kText,
              13, 47, 270, 17},
             {-1, "Static", "Choose this only if you want to customize some installation configurations.", kText, 91,
              122, 141, 19},
             {-1, "Static", "Use default settings for all configurations (Recommended).", kText, 91, 75, 162, 20},
             {-1, "Static", "", SS_BITMAP, 0, 0, 290, 33, IDB_HEADER},
             {-1, "Static", "", kSeparator, 0, 166, 290, 1},
             {IDC_BACK_TO_AGREEMENT, "Button", "&Back", BS_PUSHBUTTON | WS_TABSTOP, 189, 170, 42, 11},
             {IDCANCEL, "Button", "&Cancel", BS_PUSHBUTTON | WS_TABSTOP, 241, 170, 42, 11},
         }},
        {IDD_AGREEMENT,
         "agreement",
         {
             {IDOK, "Button", "I &agree", BS_DEFPUSHBUTTON | WS_TABSTOP, 187, 170, 42, 11},
             {IDCANCEL, "Button", "I &don't agree", BS_PUSHBUTTON | WS_TABSTOP, 239, 170, 47, 11},
             {-1, "Static", "Please read the license terms below before installing.", kText, 9, 42, 182, 8},
             {IDC_LICENSE, "Edit", "", kReadOnlyText, 7, 57, 276, 102},
             {-1, "Static", "", SS_BITMAP, 0, 0, 290, 33, IDB_HEADER},
             {-1, "Static", "", kSeparator, 0, 166, 290, 1},
         }},
        {IDD_DESTINATION,
         "destination",
         {
             {IDOK, "Button", "&Next", BS_DEFPUSHBUTTON | WS_TABSTOP, 189, 170, 42, 11},
             {IDCANCEL, "Button", "&Cancel", BS_PUSHBUTTON | WS_TABSTOP, 241, 170, 42, 11},
             {-1, "Static", "Please Choose the folder where you would like Brellic Pagewright to be installed:", kText,
              14, 43, 263, 8},
             {IDC_EDIT, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 15, 63, 213, 12},
             {IDC_BROWSE, "Button", "B&rowse...", BS_PUSHBUTTON | WS_TABSTOP, 235, 63, 42, 11},
             {IDC_DESKTOP_SHORTCUT, "Button", "Add a &desktop shortcut", BS_AUTOCHECKBOX | WS_TABSTOP, 29, 108, 138,
              10},
             {IDC_STARTMENU_ICON, "Button", "Add an icon in the &Start Menu", BS_AUTOCHECKBOX | WS_TABSTOP, 29, 125,
              151, 10},
             {-1, "Button", "Desktop settings:", BS_GROUPBOX, 13, 92, 267, 53},
             {-1, "Static", "", kSeparator, 0, 166, 291, 1},
             {-1, "Static", "", SS_BITMAP, 0, 0, 290, 33, IDB_HEADER},
             {IDC_BACK, "Button", "&Back", BS_PUSHBUTTON | WS_TABSTOP, 147, 170, 42, 11},
         }},
        {IDD_FINISH,
         "finish",
         {
             {IDOK, "Button", "&Finish", BS_DEFPUSHBUTTON | WS_TABSTOP, 241, 172, 42, 11},
             {-1, "Static", "", SS_BITMAP, 0, 0, 106, 168, IDB_SIDE},
             {IDC_RUN_PROGRAM, "Button", "&Run Brellic Pagewright", BS_AUTOCHECKBOX | WS_TABSTOP, 129, 128, 87, 10},
             {-1, "Static", "", kSeparator, 0, 168, 295, 1},
             {-1, "Static", "Setup has successfully installed Brellic Pagewright, Click Finish to exit setup", kText,
              128, 70, 155, 20},
             {-1, "Static", "", SS_BITMAP, 128, 28, 114, 16, IDB_TITLE_COMPLETED},
         }},
        {IDD_DEBUGMESSAGE,
         "debug messages",
         {
             {IDC_EDIT, "Edit", "", kReadOnlyText, 7, 7, 270, 152},
             {IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 125, 165, 42, 11},
         }},
        {IDD_CONFIRM,
         "confirmation",
         {
             {IDOK, "Button", "&Install", BS_DEFPUSHBUTTON | WS_TABSTOP, 195, 170, 42, 11},
             {IDCANCEL, "Button", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 243, 170, 42, 11},
             {IDC_EDIT, "Edit", "", kReadOnlyText | ES_AUTOHSCROLL, 13, 65, 264, 91},
             {-1, "Static",
              "Click Install to continue with the installation,  or click Back if you want to review or change any "
              "settings.",
              kText, 15, 41, 266, 16},
             {-1, "Static", "", kSeparator, 0, 166, 290, 1},
             {-1, "Static", "", SS_BITMAP, 0, 0, 298, 33, IDB_HEADER},
             {IDC_BACK, "Button", "&Back", BS_PUSHBUTTON | WS_TABSTOP, 149, 170, 46, 11},
         }},
        {IDD_WELCOME,
         "welcome",
         {
             {IDOK, "Button", "&Next", BS_DEFPUSHBUTTON | WS_TABSTOP, 189, 172, 42, 11},
             {IDCANCEL, "Button", "&Cancel", BS_PUSHBUTTON | WS_TABSTOP, 241, 172, 42, 11},
             {-1, "Static", "", SS_BITMAP, 0, 0, 106, 168, IDB_SIDE},
             {-1, "Static", "Setup will install Brellic Pagewright in your computer. To continue, please click Next.",
              kText, 128, 78, 155, 19},
             {-1, "Static", "", kText, 128, 129, 140, 19},
             {-1, "Static", "", kSeparator, 0, 168, 290, 1},
             {-1, "Static", "", SS_BITMAP, 128, 32, 113, 18, IDB_TITLE_WELCOME},
         }},
        {IDD_INTERRUPTED,
         "interrupted",
         {
             {IDOK, "Button", "&Finish", BS_DEFPUSHBUTTON | WS_TABSTOP, 241, 172, 42, 11},
             {-1, "Static", "", SS_BITMAP, 0, 0, 106, 168, IDB_SIDE},
             {-1, "Static", "", kSeparator, 0, 168, 290, 1},
             {-1, "Static", "Setup was interrupted before Brellic Pagewright could be completely installed.", kText,
              128, 74, 132, 24},
             {-1, "Static",
              "Your system has not been modified.           To install this program at a later time,   please run "
              "the installation again.",
              kText, 128, 119, 144, 29},
             {-1, "Static", "", SS_BITMAP, 128, 27, 95, 16, IDB_TITLE_ABORTED},
         }},
    };
    return all;
}

INT_PTR CALLBACK PassiveProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG;
}

// The template made into a window, without any page code attached.
class TemplateWindow {
public:
    explicit TemplateWindow(int id)
        : m_hwnd(::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, PassiveProc, 0)) {}
    ~TemplateWindow() {
        if (m_hwnd)
            ::DestroyWindow(m_hwnd);
    }
    HWND Get() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

std::vector<HWND> ChildrenInOrder(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// Position and size are converted separately, as the dialog manager does when it makes the control.
RECT DialogUnits(HWND dialog, int x, int y, int w, int h) {
    RECT units{x, y, w, h};
    ::MapDialogRect(dialog, &units);
    return RECT{units.left, units.top, units.left + units.right, units.top + units.bottom};
}

RECT ChildRect(HWND dialog, HWND child) {
    RECT rc{};
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    ::GetObjectA(bitmap, sizeof info, &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

std::string Describe(const RECT& rc) {
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + " " + std::to_string(rc.right - rc.left) + "x" +
           std::to_string(rc.bottom - rc.top);
}

TEST(DialogTemplates, ShareTheFrameCaptionFontAndSize) {
    for (const Template& t : Templates()) {
        SCOPED_TRACE(t.name);
        TemplateWindow window(t.id);
        HWND dialog = window.Get();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(WindowText(dialog), "Brellic Pagewright Setup");
        DWORD style = static_cast<DWORD>(::GetWindowLongA(dialog, GWL_STYLE));
        const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
        EXPECT_EQ(style & frame, frame);
        EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_CENTER | WS_CHILD), 0u);
        RECT client{};
        ::GetClientRect(dialog, &client);
        EXPECT_EQ(Describe(client), Describe(DialogUnits(dialog, 0, 0, 291, 186)));
        LOGFONTA font{};
        ASSERT_TRUE(
            ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font));
        EXPECT_STREQ(font.lfFaceName, "Arial");
        HDC screen = ::GetDC(nullptr);
        EXPECT_EQ(font.lfHeight, -::MulDiv(10, ::GetDeviceCaps(screen, LOGPIXELSY), 72));
        ::ReleaseDC(nullptr, screen);
    }
}

TEST(DialogTemplates, HoldEveryControlWithItsIdClassTextStyleAndPlace) {
    const DWORD kStyleBits = 0xFFFF | WS_TABSTOP | WS_GROUP | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_DISABLED;
    for (const Template& t : Templates()) {
        TemplateWindow window(t.id);
        HWND dialog = window.Get();
        ASSERT_NE(dialog, nullptr) << t.name;
        std::vector<HWND> children = ChildrenInOrder(dialog);
        ASSERT_EQ(children.size(), t.controls.size()) << t.name;
        for (size_t i = 0; i < children.size(); ++i) {
            const Control& c = t.controls[i];
            HWND child = children[i];
            SCOPED_TRACE(std::string(t.name) + " control " + std::to_string(i) + " \"" + c.text + "\"");
            EXPECT_EQ(::GetDlgCtrlID(child), c.id);
            EXPECT_EQ(::lstrcmpiA(WindowClass(child).c_str(), c.cls), 0) << WindowClass(child);
            DWORD style = static_cast<DWORD>(::GetWindowLongA(child, GWL_STYLE));
            // An edit's border is drawn as a sunken client edge.
            if (::GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)
                style |= WS_BORDER;
            EXPECT_EQ(style & kStyleBits & ~static_cast<DWORD>(c.bitmap ? SS_REALSIZEIMAGE : 0), c.style)
                << std::hex << style;
            EXPECT_TRUE(style & WS_VISIBLE);
            RECT expected = DialogUnits(dialog, c.x, c.y, c.w, c.h);
            RECT actual = ChildRect(dialog, child);
            if (!c.bitmap) {
                EXPECT_EQ(WindowText(child), c.text);
                EXPECT_EQ(Describe(actual), Describe(expected));
                continue;
            }
            // A picture static takes the size of its bitmap at the template's place.
            EXPECT_EQ(actual.left, expected.left);
            EXPECT_EQ(actual.top, expected.top);
            auto shown = reinterpret_cast<HBITMAP>(::SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0));
            ASSERT_NE(shown, nullptr);
            ScopedGdiObject resource(::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(c.bitmap)));
            SIZE size = BitmapSize(static_cast<HBITMAP>(resource.Get()));
            EXPECT_EQ(actual.right - actual.left, size.cx);
            EXPECT_EQ(actual.bottom - actual.top, size.cy);
            EXPECT_TRUE(BitmapPixels(shown).rgb == BitmapPixels(static_cast<HBITMAP>(resource.Get())).rgb);
        }
    }
}

}  // namespace
