// What a screen reader hears through the accessibility interface: the
// owner-drawn buttons as push buttons named by their captions, with their
// focus and availability; the progress bar's value; the report's text.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "page_harness.h"
#include "setup/debug_log.h"
#include "ui_driver.h"

namespace {

struct Heard {
    std::string name;
    long role = 0;
    long state = 0;
    std::string value;
};

std::string Narrow(BSTR text) {
    std::string out;
    for (int i = 0; text && text[i]; ++i)
        out += static_cast<char>(text[i] < 128 ? text[i] : '?');
    return out;
}

Heard Hear(HWND control) {
    Heard heard;
    IAccessible* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                            reinterpret_cast<void**>(&object))) ||
        !object)
        return heard;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (SUCCEEDED(object->get_accName(self, &name)) && name) {
        heard.name = Narrow(name);
        ::SysFreeString(name);
    }
    BSTR value = nullptr;
    if (SUCCEEDED(object->get_accValue(self, &value)) && value) {
        heard.value = Narrow(value);
        ::SysFreeString(value);
    }
    VARIANT role{}, state{};
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4)
        heard.role = role.lVal;
    if (SUCCEEDED(object->get_accState(self, &state)) && state.vt == VT_I4)
        heard.state = state.lVal;
    object->Release();
    return heard;
}

TEST(ScreenReader, OwnerDrawnButtonsArePushButtonsNamedByTheirCaptions) {
    ::CoInitialize(nullptr);
    TestSetupApp app;
    app.m_rcPage = PageRectAt(IDD_DESTINATION, 0, 0);
    app.m_bPageOpening = 1;
    OpenedPage opened(app.m_pageDestination, Page::Destination);
    HWND page = opened.Window();
    ASSERT_NE(page, nullptr);
    const struct {
        int id;
        const char* name;
    } buttons[] = {{IDOK, "Next"}, {IDCANCEL, "Cancel"}, {IDC_BACK, "Back"}, {IDC_BROWSE, "Browse..."}};
    for (const auto& b : buttons) {
        Heard heard = Hear(::GetDlgItem(page, b.id));
        EXPECT_EQ(heard.name, b.name);
        EXPECT_EQ(heard.role, ROLE_SYSTEM_PUSHBUTTON) << b.name;
        EXPECT_TRUE(heard.state & STATE_SYSTEM_FOCUSABLE) << b.name;
    }
    HWND next = ::GetDlgItem(page, IDOK);
    ::SendMessageA(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
    EXPECT_TRUE(Hear(next).state & STATE_SYSTEM_FOCUSED);
    HWND browse = ::GetDlgItem(page, IDC_BROWSE);
    ::EnableWindow(browse, FALSE);
    EXPECT_TRUE(Hear(browse).state & STATE_SYSTEM_UNAVAILABLE);
    ::EnableWindow(browse, TRUE);
    Quit(page, QuitWay::Button);
    Answer(opened.Box("Are you sure"), IDYES);
    EXPECT_EQ(opened.Result(), IDCANCEL);
    ::CoUninitialize();
}

// The picture buttons by their captions, the progress bar by how far the copy
// is, the report by its text.
TEST(ScreenReader, PictureButtonsProgressAndReportAreHeard) {
    ::CoInitialize(nullptr);
    TestSetupApp app;
    app.m_rcPage = PageRectAt(IDD_INSTALLTYPE, 0, 0);
    app.m_bPageOpening = 1;
    {
        OpenedPage opened(app.m_pageInstallType, Page::InstallType);
        HWND page = opened.Window();
        ASSERT_NE(page, nullptr);
        for (int id : {IDC_DEFAULT, IDC_CUSTOM}) {
            Heard heard = Hear(::GetDlgItem(page, id));
            EXPECT_EQ(heard.name, id == IDC_DEFAULT ? "Default" : "Custom");
            EXPECT_EQ(heard.role, ROLE_SYSTEM_PUSHBUTTON);
        }
        Quit(page, QuitWay::Button);
        Answer(opened.Box("Are you sure"), IDYES);
        EXPECT_EQ(opened.Result(), IDCANCEL);
    }

    app.m_pageProgress.Begin(ProgressShown::AtOnce, false);
    ASSERT_NE(app.m_pageProgress.m_hWnd, nullptr);
    app.m_pageProgress.CopyBegins(200);
    app.m_pageProgress.Copying("C:\\Pagewright\\Scrivo.exe", 100);
    Heard bar = Hear(::GetDlgItem(app.m_pageProgress.m_hWnd, IDC_PROGRESS_BAR));
    EXPECT_EQ(bar.role, ROLE_SYSTEM_PROGRESSBAR);
    EXPECT_EQ(bar.value, "50%");
    app.m_pageProgress.End();

    CString savedLog = g_strDebugLog;
    g_strDebugLog = "Copying failed: Scrivo.exe\r\n";
    OpenedPage report(app.m_dlgDebugMessage, Page::DebugMessage);
    ASSERT_NE(report.Window(), nullptr);
    Heard text = Hear(::GetDlgItem(report.Window(), IDC_EDIT));
    EXPECT_NE(text.value.find("Copying failed: Scrivo.exe"), std::string::npos);
    EXPECT_EQ(text.role, ROLE_SYSTEM_TEXT);
    EXPECT_TRUE(text.state & STATE_SYSTEM_READONLY);
    Click(report.Window(), IDOK);
    EXPECT_EQ(report.Result(), IDOK);
    g_strDebugLog = savedLog;
    ::CoUninitialize();
}

// The page's texts and buttons are read top to bottom and left to right, and
// Tab visits the controls in that order.
TEST(ScreenReader, PagesAreReadAndTabbedInReadingOrder) {
    ::CoInitialize(nullptr);
    TestSetupApp app;
    {
        OpenedPage opened(app.m_pageWelcome, Page::Welcome);
        HWND page = opened.Window();
        ASSERT_NE(page, nullptr);
        IAccessible* client = nullptr;
        ASSERT_HRESULT_SUCCEEDED(::AccessibleObjectFromWindow(
            page, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), reinterpret_cast<void**>(&client)));
        LONG count = 0;
        client->get_accChildCount(&count);
        std::vector<VARIANT> children(static_cast<size_t>(count));
        LONG got = 0;
        ::AccessibleChildren(client, 0, count, children.data(), &got);
        std::string heard;
        // Each child window, read through its own client object, as a screen reader goes.
        for (LONG i = 0; i < got; ++i) {
            HWND child = nullptr;
            if (children[i].vt == VT_DISPATCH && children[i].pdispVal) {
                IAccessible* object = nullptr;
                if (SUCCEEDED(children[i].pdispVal->QueryInterface(__uuidof(IAccessible),
                                                                   reinterpret_cast<void**>(&object)))) {
                    ::WindowFromAccessibleObject(object, &child);
                    object->Release();
                }
            }
            std::string name = child ? Hear(child).name : std::string();
            if (!name.empty())
                heard += name + "|";
            ::VariantClear(&children[i]);
        }
        client->Release();
        EXPECT_EQ(heard,
                  "Welcome to Setup|Setup will install Brellic Pagewright in your computer. To continue, please click "
                  "Next.|Next|Cancel|");
        Click(page, IDOK);
        EXPECT_EQ(opened.Result(), IDOK);
    }
    app.m_rcPage = PageRectAt(IDD_DESTINATION, 0, 0);
    app.m_bPageOpening = 1;
    OpenedPage opened(app.m_pageDestination, Page::Destination);
    HWND page = opened.Window();
    ASSERT_NE(page, nullptr);
    std::string order;
    HWND at = ::GetDlgItem(page, IDC_EDIT);
    for (int i = 0; i < 7; ++i, at = ::GetNextDlgTabItem(page, at, FALSE))
        order += std::to_string(::GetDlgCtrlID(at)) + " ";
    const std::string expected = std::to_string(IDC_EDIT) + " " + std::to_string(IDC_BROWSE) + " " +
                                 std::to_string(IDC_DESKTOP_SHORTCUT) + " " + std::to_string(IDC_STARTMENU_ICON) + " " +
                                 std::to_string(IDC_BACK) + " " + std::to_string(IDOK) + " " +
                                 std::to_string(IDCANCEL) + " ";
    EXPECT_EQ(order, expected);
    Quit(page, QuitWay::Button);
    Answer(opened.Box("Are you sure"), IDYES);
    EXPECT_EQ(opened.Result(), IDCANCEL);
    ::CoUninitialize();
}

}  // namespace
