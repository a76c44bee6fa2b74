// The pages as they stand on screen: one size for all, measured against a
// dialog of our own in Arial 10; buttons inside the page and apart; and the
// header art running out into the page's white.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "page_harness.h"
#include "screenshot.h"
#include "setup/res/resource.h"
#include "test_paths.h"
#include "test_registry.h"
#include "ui_driver.h"

namespace {

const int kPages[] = {IDD_WELCOME, IDD_AGREEMENT, IDD_INSTALLTYPE, IDD_DESTINATION,
                      IDD_CONFIRM, IDD_FINISH,    IDD_INTERRUPTED, IDD_DEBUGMESSAGE};
const int kInnerPages[] = {IDD_AGREEMENT, IDD_INSTALLTYPE, IDD_DESTINATION, IDD_CONFIRM};

INT_PTR CALLBACK PassiveProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG;
}

// A template made into a window at (x, y), without any page code attached.
class TemplateWindow {
public:
    explicit TemplateWindow(int id, int x = 0, int y = 0)
        : m_hwnd(::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, PassiveProc, 0)) {
        ::SetWindowPos(m_hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ~TemplateWindow() { ::DestroyWindow(m_hwnd); }
    HWND Get() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

// The pixel size of w x h dialog units in a dialog of our own whose font is Arial 10.
SIZE ArialTenDialogUnits(int w, int h) {
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* head = reinterpret_cast<DLGTEMPLATE*>(t.data());
    head->style = WS_POPUP | DS_SETFONT;
    head->cx = 10;
    head->cy = 10;
    t.insert(t.end(), {0, 0, 0, 10});  // no menu, default class, no caption; 10 points
    for (const wchar_t* c = L"Arial"; *c; ++c)
        t.push_back(static_cast<WORD>(*c));
    t.push_back(0);
    HWND probe = ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr), reinterpret_cast<DLGTEMPLATE*>(t.data()),
                                              nullptr, PassiveProc, 0);
    RECT rc{0, 0, w, h};
    ::MapDialogRect(probe, &rc);
    ::DestroyWindow(probe);
    return SIZE{rc.right, rc.bottom};
}

std::string Describe(const RECT& rc) {
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + " " + std::to_string(rc.right - rc.left) + "x" +
           std::to_string(rc.bottom - rc.top);
}

TEST(PageGeometry, EveryPageIsTwoHundredNinetyOneByOneHundredEightySixArialTenDialogUnits) {
    const SIZE expected = ArialTenDialogUnits(291, 186);
    ASSERT_GT(expected.cx, 291);
    for (int id : kPages) {
        TemplateWindow page(id);
        ASSERT_NE(page.Get(), nullptr) << id;
        RECT client{};
        ::GetClientRect(page.Get(), &client);
        EXPECT_EQ(client.right, expected.cx) << id;
        EXPECT_EQ(client.bottom, expected.cy) << id;
        EXPECT_EQ(WindowText(page.Get()), "Brellic Pagewright Setup") << id;
    }
}

TEST(PageGeometry, InnerPagesOccupyTheSameScreenRectangle) {
    TemplateWindow first(kInnerPages[0], 200, 150);
    for (int id : kInnerPages) {
        TemplateWindow page(id, 200, 150);
        EXPECT_EQ(Describe(WindowRect(page.Get())), Describe(WindowRect(first.Get()))) << id;
    }
}

TEST(PageGeometry, ButtonsLieInsideThePageAndApart) {
    for (int id : kPages) {
        TemplateWindow page(id);
        RECT client{};
        ::GetClientRect(page.Get(), &client);
        std::vector<RECT> buttons;
        for (HWND child : ChildWindows(page.Get())) {
            LONG type = ::GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK;
            if (::lstrcmpiA(WindowClass(child).c_str(), "Button") != 0 || type == BS_GROUPBOX)
                continue;
            RECT rc = WindowRect(child);
            ::MapWindowPoints(nullptr, page.Get(), reinterpret_cast<POINT*>(&rc), 2);
            RECT clipped{};
            ::IntersectRect(&clipped, &rc, &client);
            EXPECT_TRUE(::EqualRect(&clipped, &rc)) << id << " " << WindowText(child) << " at " << Describe(rc);
            for (const RECT& other : buttons)
                EXPECT_FALSE(::IntersectRect(&clipped, &rc, &other)) << id << " " << WindowText(child);
            buttons.push_back(rc);
        }
        EXPECT_FALSE(buttons.empty()) << id;
    }
}

int Step(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

// Where the banner stops, the page's white goes on: across its right end no
// row jumps in colour, and its last column is the page's own white.
TEST(HeaderArt, RunsOutIntoThePagesWhiteOnTheInnerPages) {
    ProductKeysGuard keys;
    SetupRun run(TEST_MEDIA_DIR);
    ASSERT_TRUE(ClickAndLeave(run.WaitPage(Page::Welcome), IDOK));
    HWND page = run.WaitPage(Page::Agreement);
    ASSERT_NE(page, nullptr) << DescribeWindows(run.Windows());
    BITMAP art{};
    HBITMAP header = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_HEADER));
    ::GetObjectA(header, sizeof art, &art);
    Pixels banner = BitmapPixels(header);
    ::DeleteObject(header);
    RECT client{};
    ::GetClientRect(page, &client);
    ASSERT_LT(art.bmWidth, client.right) << "the banner is narrower than the page";
    POINT origin{0, 0};
    ::ClientToScreen(page, &origin);
    // The other process paints when it gets to it: the picture is taken once the banner is on screen.
    auto bannerShown = [&](const Pixels& shown) {
        for (int y = 0; y < art.bmHeight; ++y)
            for (int x = 0; x < art.bmWidth; ++x)
                if (shown.At(x, y) != banner.At(x, y))
                    return false;
        return true;
    };
    Pixels shown;
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 10000; ::Sleep(50)) {
        shown = CaptureScreen(RECT{origin.x, origin.y, origin.x + client.right, origin.y + art.bmHeight});
        if (!shown.Empty() && bannerShown(shown))
            break;
    }
    SaveScreenshot(ScreenshotPath("header-agreement"));
    ASSERT_TRUE(!shown.Empty() && bannerShown(shown)) << "the banner did not come on screen";
    const COLORREF white = RGB(255, 255, 255);
    for (int y = 0; y < art.bmHeight; ++y) {
        EXPECT_EQ(shown.At(art.bmWidth - 1, y), white) << "row " << y;
        EXPECT_EQ(shown.At(art.bmWidth, y), white) << "row " << y;
        for (int x = art.bmWidth - 40; x < art.bmWidth; ++x)
            ASSERT_LE(Step(shown.At(x, y), shown.At(x + 1, y)), 100) << "hard edge at " << x << "," << y;
    }
    EXPECT_TRUE(run.QuitFrom(page));
}

}  // namespace
