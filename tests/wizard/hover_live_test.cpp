// The hover buttons on a shown page, under the real mouse pointer: the frame
// colours and the picture button's image sequence as the screen shows them,
// and the hand cursor's source.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "framework/win_app.h"
#include "page_harness.h"
#include "screenshot.h"
#include "setup/controls/hover_bitmap_button.h"
#include "test_fs.h"
#include "ui_driver.h"

namespace {

// The control's area on the screen, in screen coordinates.
RECT ScreenRectOf(HWND dialog, int id) {
    return WindowRect(::GetDlgItem(dialog, id));
}

// Polls the screen until the control's pixels satisfy the test.
bool ScreenShows(HWND dialog, int id, const std::function<bool(const Pixels&)>& test, int timeoutMs = 5000) {
    return WaitUntil([&] { return test(CaptureScreen(ScreenRectOf(dialog, id))); }, timeoutMs);
}

// The left line of the frame, three pixels wide around the face's left edge.
bool LeftFrameIs(const Pixels& button, COLORREF colour) {
    int x = ::GetSystemMetrics(SM_CXEDGE);
    return !button.Empty() && button.At(x, button.height / 2) == colour;
}

void MoveAway() {
    MovePointerTo(5, ::GetSystemMetrics(SM_CYSCREEN) - 5);
}

TEST(HoverButtonOnPage, PointerBringsTheOrangeFrameFocusShowsTheBlueOne) {
    MoveAway();
    TestSetupApp app;
    OpenedPage opened(app.m_pageWelcome, Page::Welcome);
    HWND page = opened.Window();
    ASSERT_NE(page, nullptr);
    const COLORREF orange = RGB(250, 196, 88), blue = RGB(153, 198, 252);
    EXPECT_TRUE(ScreenShows(page, IDOK, [&](const Pixels& p) { return LeftFrameIs(p, blue); })) << "Next has the focus";
    EXPECT_FALSE(LeftFrameIs(CaptureScreen(ScreenRectOf(page, IDCANCEL)), orange));

    POINT cancel = CentreOf(page, IDCANCEL);
    MovePointerTo(cancel.x, cancel.y);
    EXPECT_TRUE(ScreenShows(page, IDCANCEL, [&](const Pixels& p) { return LeftFrameIs(p, orange); }));
    EXPECT_TRUE(app.m_pageWelcome.m_btnCancel.m_bHover);
    SaveScreenshot(ScreenshotPath("test-hovered-cancel"));

    // Pressed: the caption moves one pixel right and down.
    Pixels up = CaptureScreen(ScreenRectOf(page, IDCANCEL));
    ::PostMessageA(::GetDlgItem(page, IDCANCEL), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(ScreenShows(page, IDCANCEL, [&](const Pixels& p) { return p.rgb != up.rgb; }));
    SaveScreenshot(ScreenshotPath("test-pressed-cancel"));
    ::PostMessageA(::GetDlgItem(page, IDCANCEL), WM_LBUTTONUP, 0, MAKELPARAM(-50, -50));  // released outside: no click

    MoveAway();
    EXPECT_TRUE(ScreenShows(page, IDCANCEL, [&](const Pixels& p) { return !LeftFrameIs(p, orange); }));
    EXPECT_FALSE(app.m_pageWelcome.m_btnCancel.m_bHover);
    EXPECT_FALSE(opened.Ended()) << "releasing outside the button is no click";
    Click(page, IDOK);
    EXPECT_EQ(opened.Result(), IDOK);
}

// The button shows the image's pixels from its top-left corner.
bool ShowsImage(const Pixels& button, const Pixels& image) {
    if (button.Empty() || image.Empty())
        return false;
    for (int y = 0; y < std::min(button.height, image.height); ++y)
        for (int x = 0; x < std::min(button.width, image.width); ++x)
            if (button.At(x, y) != image.At(x, y))
                return false;
    return true;
}

Pixels ResourceImage(int id) {
    ScopedGdiObject bitmap(::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)));
    return BitmapPixels(static_cast<HBITMAP>(bitmap.Get()));
}

TEST(HoverBitmapButtonOnPage, ShowsNormalHoverPressedThenNormalAgain) {
    const struct {
        int id;
        int normal, hover, pressed;
    } buttons[] = {{IDC_DEFAULT, IDB_DEFAULT_NORMAL, IDB_DEFAULT_HOVER, IDB_DEFAULT_PRESSED},
                   {IDC_CUSTOM, IDB_CUSTOM_NORMAL, IDB_CUSTOM_HOVER, IDB_CUSTOM_PRESSED}};
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.id);
        MoveAway();
        TestSetupApp app;
        app.m_rcPage = PageRectAt(IDD_INSTALLTYPE, 200, 150);
        OpenedPage opened(app.m_pageInstallType, Page::InstallType);
        HWND page = opened.Window();
        ASSERT_NE(page, nullptr);
        Pixels normal = ResourceImage(b.normal), hover = ResourceImage(b.hover), pressed = ResourceImage(b.pressed);
        ASSERT_NE(normal.rgb, hover.rgb);
        ASSERT_NE(hover.rgb, pressed.rgb);
        auto shows = [&](const Pixels& image) {
            return ScreenShows(page, b.id, [&](const Pixels& p) { return ShowsImage(p, image); });
        };
        EXPECT_TRUE(shows(normal)) << "normal";
        POINT centre = CentreOf(page, b.id);
        MovePointerTo(centre.x, centre.y);
        EXPECT_TRUE(shows(hover)) << "hover";
        if (b.id == IDC_DEFAULT)
            SaveScreenshot(ScreenshotPath("test-hovered-default"));
        HCURSOR hand = app.m_pageInstallType.m_btnDefault.m_hHandCursor;
        if (b.id == IDC_DEFAULT) {
            EXPECT_NE(hand, nullptr) << "the pointer over the picture button is a hand";
        }
        ::PostMessageA(::GetDlgItem(page, b.id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        EXPECT_TRUE(shows(pressed)) << "pressed";
        ::PostMessageA(::GetDlgItem(page, b.id), WM_LBUTTONUP, 0, MAKELPARAM(-50, -50));
        EXPECT_TRUE(shows(pressed)) << "stays until the pointer leaves";
        MoveAway();
        EXPECT_TRUE(shows(normal)) << "normal again";
        EXPECT_FALSE(opened.Ended());
        Click(page, IDC_BACK_TO_AGREEMENT);
        EXPECT_EQ(opened.Result(), IDC_BACK_TO_AGREEMENT);
    }
}

bool SameCursorImage(HCURSOR a, HCURSOR b) {
    ICONINFO ia{}, ib{};
    if (!::GetIconInfo(a, &ia) || !::GetIconInfo(b, &ib))
        return false;
    ScopedGdiObject maskA(ia.hbmMask), colourA(ia.hbmColor), maskB(ib.hbmMask), colourB(ib.hbmColor);
    return ia.xHotspot == ib.xHotspot && ia.yHotspot == ib.yHotspot &&
           BitmapPixels(ia.hbmMask).rgb == BitmapPixels(ib.hbmMask).rgb &&
           BitmapPixels(ia.hbmColor).rgb == BitmapPixels(ib.hbmColor).rgb;
}

// A copy of this test program carrying the system's cross cursor as cursor
// group 106, named as the help viewer.
bool PlantHelpViewer(const std::string& folder) {
    std::string viewer = folder + "\\winhlp32.exe";
    if (!::CopyFileA(GetModulePath().c_str(), viewer.c_str(), FALSE))
        return false;
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    HRSRC group = ::FindResourceA(user32, MAKEINTRESOURCEA(32515), MAKEINTRESOURCEA(12));  // IDC_CROSS, RT_GROUP_CURSOR
    if (!group)
        return false;
    const auto* groupData = static_cast<const BYTE*>(::LockResource(::LoadResource(user32, group)));
    DWORD groupSize = ::SizeofResource(user32, group);
    HANDLE update = ::BeginUpdateResourceA(viewer.c_str(), FALSE);
    if (!update)
        return false;
    WORD count = *reinterpret_cast<const WORD*>(groupData + 4);
    for (WORD i = 0; i < count; ++i) {
        WORD id = *reinterpret_cast<const WORD*>(groupData + 6 + i * 14 + 12);
        HRSRC cursor = ::FindResourceA(user32, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(1));  // RT_CURSOR
        if (!cursor)
            return ::EndUpdateResourceA(update, TRUE) && false;
        ::UpdateResourceA(update, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(id), 0,
                          ::LockResource(::LoadResource(user32, cursor)), ::SizeofResource(user32, cursor));
    }
    ::UpdateResourceA(update, MAKEINTRESOURCEA(12), MAKEINTRESOURCEA(106), 0, const_cast<BYTE*>(groupData), groupSize);
    return ::EndUpdateResourceA(update, FALSE) != FALSE;
}

TEST(HandCursor, ComesFromTheHelpViewersCursor106ElseFromTheSystem) {
    ScratchDir windows("windir");
    ScopedCursor fallback(CopyHandCursor(windows.Path().c_str()));
    ASSERT_TRUE(fallback.IsValid()) << "no help viewer in this Windows folder";
    EXPECT_TRUE(SameCursorImage(fallback.Get(), ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649))));

    ASSERT_TRUE(PlantHelpViewer(windows.Path()));
    ScopedCursor planted(CopyHandCursor(windows.Path().c_str()));
    ASSERT_TRUE(planted.IsValid());
    EXPECT_TRUE(SameCursorImage(planted.Get(), ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32515))));
    EXPECT_FALSE(SameCursorImage(planted.Get(), fallback.Get()));
}

}  // namespace
