// Every page at the display's DPI (the prefix's LogPixels; the suite runs once
// per DPI): a screenshot of each, the art filling its panel and banner strip,
// the picture buttons' drawings the size of their buttons, and every text
// within its control.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "../wizard/page_harness.h"
#include "screenshot.h"
#include "setup/controls/scaled_art.h"
#include "setup/res/resource.h"
#include "test_app.h"
#include "ui_driver.h"

namespace {

UINT ScreenDpi() {
    ScopedWindowDC screen(nullptr);
    return static_cast<UINT>(::GetDeviceCaps(screen.Get(), LOGPIXELSY));
}

// "dpi144-install-type"
std::string Name(const std::string& what) {
    std::string name = "dpi" + std::to_string(ScreenDpi()) + "-" + what;
    for (char& ch : name)
        if (ch == ' ')
            ch = '-';
    return name;
}

int Distance(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

// The suite's runner names the DPI it gave the prefix; the page must see it.
TEST(DisplayScale, RunsAtTheDpiTheRunnerChose) {
    const char* wanted = std::getenv("DISPLAY_TEST_DPI");
    EXPECT_EQ(ScreenDpi(), wanted ? static_cast<UINT>(std::atoi(wanted)) : kBaseDpi);
}

// The dialog manager's base units for the font selected into dc: the average
// width of the alphabet and the height.
SIZE BaseUnits(HDC dc) {
    const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    ::GetTextExtentPoint32A(dc, alphabet, 52, &size);
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    return SIZE{(size.cx / 26 + 1) / 2, metrics.tmHeight};
}

// Whether text needs more than room x height with the font in dc.
bool Overflows(HDC dc, const std::string& text, int room, int height, bool oneLine) {
    RECT need{0, 0, room, 0};
    ::DrawTextA(dc, text.c_str(), -1, &need, DT_CALCRECT | (oneLine ? DT_SINGLELINE : DT_WORDBREAK));
    return need.right > room || need.bottom > height;
}

// Texts that need more room than their controls have, leaving out those that
// would not fit at 96 DPI either (where this system's stand-in for the
// pages' font is wider than the font itself).
std::string TextsThatDoNotFit(HWND page) {
    std::string misfits;
    UINT dpi = ScreenDpi();
    for (HWND child : ChildWindows(page)) {
        std::string text = WindowText(child);
        std::string cls = WindowClass(child);
        LONG style = ::GetWindowLongA(child, GWL_STYLE);
        if (text.empty() || !::IsWindowVisible(child) || ::lstrcmpiA(cls.c_str(), "Edit") == 0)
            continue;
        RECT rc{};
        ::GetClientRect(child, &rc);
        auto font = reinterpret_cast<HFONT>(::SendMessageA(child, WM_GETFONT, 0, 0));
        ScopedWindowDC dc(child);
        bool isButton = ::lstrcmpiA(cls.c_str(), "Button") == 0;
        LONG type = style & BS_TYPEMASK;
        int room = rc.right;
        if (isButton && (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX))
            room -= ::GetSystemMetrics(SM_CXMENUCHECK) + 4;  // the box and the gap beside it
        else if (isButton && type != BS_GROUPBOX)
            room -= 2 * ::GetSystemMetrics(SM_CXEDGE);
        // Static texts wrap; button captions stay on one line.
        bool oneLine = isButton || (style & SS_PATHELLIPSIS);
        SIZE now{}, base{};
        bool overflows = false, overflowsAt96 = true;
        {
            ScopedSelect selected(dc.Get(), font);
            now = BaseUnits(dc.Get());
            overflows = Overflows(dc.Get(), text, room, rc.bottom, oneLine);
        }
        if (overflows && dpi != kBaseDpi) {
            LOGFONTA at96{};
            ::GetObjectA(font, sizeof at96, &at96);
            at96.lfHeight = ::MulDiv(at96.lfHeight, kBaseDpi, static_cast<int>(dpi));
            ScopedGdiObject small(::CreateFontIndirectA(&at96));
            ScopedSelect selected(dc.Get(), small.Get());
            base = BaseUnits(dc.Get());
            overflowsAt96 = Overflows(dc.Get(), text, ::MulDiv(room, base.cx, now.cx),
                                      ::MulDiv(rc.bottom, base.cy, now.cy), oneLine);
        }
        if (overflows && !overflowsAt96)
            misfits += "\"" + text + "\" in " + std::to_string(room) + "x" + std::to_string(rc.bottom) + "; ";
    }
    return misfits;
}

class EveryPage : public ::testing::TestWithParam<Page> {};

CDialog& PageOfApp(TestSetupApp& app, Page kind) {
    switch (kind) {
        case Page::Welcome:
            return app.m_pageWelcome;
        case Page::Agreement:
            return app.m_pageAgreement;
        case Page::InstallType:
            return app.m_pageInstallType;
        case Page::Destination:
            return app.m_pageDestination;
        case Page::Confirm:
            return app.m_pageConfirm;
        case Page::Finish:
            return app.m_pageFinish;
        case Page::Interrupted:
            return app.m_pageInterrupted;
        default:
            return app.m_dlgDebugMessage;
    }
}

// The page's picture controls, once the screen shows their images: at 96 DPI
// each is its 100 % drawing as it always was; at any other DPI the side panel
// covers its panel and the banner is as high as its strip, in dialog units.
std::string ArtThatDoesNotFill(HWND page, bool outer) {
    std::string problems;
    RECT box = outer ? RECT{0, 0, 106, 168} : RECT{0, 0, 290, 33};
    ::MapDialogRect(page, &box);
    for (HWND child : ChildWindows(page)) {
        if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP ||
            ::lstrcmpiA(WindowClass(child).c_str(), "Static") != 0)
            continue;
        auto image = reinterpret_cast<HBITMAP>(::SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0));
        Pixels art = BitmapPixels(image);
        RECT at = WindowRect(child);
        RECT client{};
        ::GetClientRect(page, &client);
        // What lies below the separator is the separator's and the buttons'.
        int rows = std::min(art.height, static_cast<int>(box.bottom) - 1);
        int columns = std::min(art.width, static_cast<int>(client.right));
        auto onScreen = [&] {
            Pixels screen = CaptureScreen(RECT{at.left, at.top, at.left + columns, at.top + rows});
            if (screen.Empty())
                return false;
            for (int y = 0; y < rows; ++y)
                for (int x = 0; x < columns; ++x)
                    if (screen.At(x, y) != art.At(x, y))
                        return false;
            return true;
        };
        // A fresh prefix's first windows (its update notice) can pass over the
        // page and leave it to be repainted: repainted once, as an uncovered
        // window is, before the picture counts as missing.
        bool shown = WaitUntil(onScreen, 5000);
        if (!shown) {
            ::RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            shown = WaitUntil(onScreen, 5000);
        }
        if (!shown) {
            problems +=
                "a picture of " + std::to_string(art.width) + "x" + std::to_string(art.height) + " is not on screen; ";
            continue;
        }
        RECT inPage = at;
        ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&inPage), 2);
        if (inPage.left != 0 || inPage.top != 0)
            continue;  // a title, beside the panel
        if (ScreenDpi() == kBaseDpi)
            continue;
        if (art.height < box.bottom || (outer && art.width < box.right))
            problems += std::to_string(art.width) + "x" + std::to_string(art.height) + " in a panel of " +
                        std::to_string(box.right) + "x" + std::to_string(box.bottom) + "; ";
    }
    return problems;
}

// At 96 DPI the pictures are the resources themselves.
bool ShowsHundredPerCentArt(HWND page) {
    for (HWND child : ChildWindows(page)) {
        if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP)
            continue;
        auto image = reinterpret_cast<HBITMAP>(::SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP shown{};
        ::GetObjectA(image, sizeof shown, &shown);
        bool known = false;
        for (int id : {IDB_SIDE, IDB_HEADER, IDB_TITLE_WELCOME, IDB_TITLE_COMPLETED, IDB_TITLE_ABORTED}) {
            ScopedGdiObject art(::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)));
            BITMAP own{};
            ::GetObjectA(art.Get(), sizeof own, &own);
            known = known || (own.bmWidth == shown.bmWidth && own.bmHeight == shown.bmHeight &&
                              BitmapPixels(static_cast<HBITMAP>(art.Get())).rgb == BitmapPixels(image).rgb);
        }
        if (!known)
            return false;
    }
    return true;
}

TEST_P(EveryPage, ShowsItsArtFilledAndItsTextsWhole) {
    Page kind = GetParam();
    TestSetupApp app;
    app.m_rcPage = PageRectAt(IDD_AGREEMENT, 0, 0);
    app.m_strInstallDir = "C:\\Program Files\\Brellic\\Pagewright\\";
    app.m_dlgDebugMessage.m_strMessages = "A line of the report.\r\n";
    OpenedPage opened(PageOfApp(app, kind), kind);
    HWND page = opened.Window();
    ASSERT_NE(page, nullptr);

    bool outer = kind == Page::Welcome || kind == Page::Finish || kind == Page::Interrupted;
    EXPECT_EQ(ArtThatDoesNotFill(page, outer), "");
    SaveScreenshot(ScreenshotPath(Name(PageName(kind))));
    if (ScreenDpi() == kBaseDpi) {
        EXPECT_TRUE(ShowsHundredPerCentArt(page));
    }
    EXPECT_EQ(TextsThatDoNotFit(page), "");

    if (kind == Page::InstallType) {
        // The drawings of both picture buttons reach their buttons' edges: at
        // 96 DPI they are the 100 % drawings, whatever the buttons' size.
        for (int id : {IDC_DEFAULT, IDC_CUSTOM}) {
            HWND button = ::GetDlgItem(page, id);
            UINT normalId = id == IDC_DEFAULT ? IDB_DEFAULT_NORMAL : IDB_CUSTOM_NORMAL;
            ScopedGdiObject art(::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(normalId)));
            Pixels drawing = BitmapPixels(static_cast<HBITMAP>(art.Get()));
            COLORREF border = drawing.At(drawing.width - 1, drawing.height / 2);
            Pixels shown;
            auto reachesAnEdge = [&] {
                shown = CaptureScreen(WindowRect(button));
                if (shown.Empty())
                    return false;
                int across = ScreenDpi() == kBaseDpi ? drawing.width : shown.width;
                int down = ScreenDpi() == kBaseDpi ? drawing.height : shown.height;
                return Distance(shown.At(across - 1, down / 2), border) < 90 ||
                       Distance(shown.At(across / 2, down - 1), border) < 90;
            };
            EXPECT_TRUE(WaitUntil(reachesAnEdge, 5000)) << "button " << id << " " << shown.width << "x" << shown.height;
        }
    }
    if (kind == Page::Welcome || kind == Page::Interrupted || kind == Page::Finish || kind == Page::DebugMessage) {
        Click(page, IDOK);
    } else {
        Quit(page, QuitWay::Button);
        Answer(opened.Box("Are you sure"), IDYES);
    }
    EXPECT_NE(opened.Result(), -1);
}

INSTANTIATE_TEST_SUITE_P(Pages,
                         EveryPage,
                         ::testing::Values(Page::Welcome,
                                           Page::Agreement,
                                           Page::InstallType,
                                           Page::Destination,
                                           Page::Confirm,
                                           Page::Finish,
                                           Page::Interrupted,
                                           Page::DebugMessage),
                         [](const ::testing::TestParamInfo<Page>& info) {
                             std::string name;
                             for (char ch : std::string(PageName(info.param)))
                                 if (ch != ' ')
                                     name += ch;
                             return name;
                         });

// The progress window, which the installation shows itself.
TEST(ProgressWindow, ShowsItsBannerFilledAndItsTextsWhole) {
    TestSetupApp app;
    app.m_pageProgress.Begin(ProgressShown::AtOnce, false);
    HWND window = app.m_pageProgress.m_hWnd;
    ASSERT_NE(window, nullptr);
    app.m_pageProgress.KeepGoing();
    EXPECT_EQ(ArtThatDoesNotFill(window, false), "");
    SaveScreenshot(ScreenshotPath(Name("progress")));
    EXPECT_EQ(TextsThatDoNotFit(window), "");
    app.m_pageProgress.End();
}

}  // namespace

namespace {
// A move to a monitor of another DPI: the page takes the place the system
// suggests, and the next page opens there.
TEST(DpiChange, ThePageTakesTheSuggestedPlace) {
    TestSetupApp app;
    app.m_rcPage = PageRectAt(IDD_DESTINATION, 100, 80);
    app.m_bPageOpening = 1;
    OpenedPage opened(app.m_pageDestination, Page::Destination);
    HWND page = opened.Window();
    ASSERT_NE(page, nullptr);
    RECT suggested = PageRectAt(IDD_DESTINATION, 150, 60);
    suggested.right += 40;
    suggested.bottom += 30;
    ::SendMessageA(page, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT now = WindowRect(page);
    EXPECT_TRUE(::EqualRect(&now, &suggested));
    EXPECT_TRUE(::EqualRect(&app.m_rcPage, &suggested)) << "recorded for the next page";
    Quit(page, QuitWay::Button);
    Answer(opened.Box("Are you sure"), IDYES);
    EXPECT_EQ(opened.Result(), IDCANCEL);
}
}  // namespace
