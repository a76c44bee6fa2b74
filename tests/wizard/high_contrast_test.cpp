// A high-contrast theme (chosen through the seamed setup, as Wine has no
// switch for one): the buttons draw their captions on the theme's button face
// in its text colour, and the side panel's art gives way to the page's colour.
#include <gtest/gtest.h>

#include "screenshot.h"
#include "setup/res/resource.h"
#include "test_paths.h"
#include "test_registry.h"
#include "ui_driver.h"
#include "wizard_driver.h"

TEST(HighContrast, CaptionsAndPagesTakeTheThemesColours) {
    ProductKeysGuard keys;
    SetupOptions options;
    options.seamed = true;
    options.env = {"BRELLIC_TEST_HIGH_CONTRAST=1"};
    SetupRun run(TEST_MEDIA_DIR, options);
    HWND page = run.WaitPage(Page::Welcome);
    ASSERT_NE(page, nullptr) << run.Describe();
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    RECT next = WindowRect(::GetDlgItem(page, IDCANCEL));
    Pixels button;
    // The caption's own pixels in the text colour, the face around it in the face colour.
    auto captionOnFace = [&] {
        button = CaptureScreen(next);
        int inText = 0, onFace = 0;
        for (int y = 2; y < button.height - 2; ++y)
            for (int x = 3; x < button.width - 3; ++x) {
                COLORREF c = button.At(x, y);
                inText += c == text;
                onFace += c == face;
            }
        return inText > 10 && onFace > (button.width - 6) * (button.height - 4) / 2 &&
               button.At(button.width / 2, 2) == face;
    };
    bool shown = WaitUntil(captionOnFace, 10000);
    SaveScreenshot(ScreenshotPath("high-contrast-welcome"));
    EXPECT_TRUE(shown) << "the Cancel button is not drawn in the theme's colours";
    POINT panel{8, 8};
    ::ClientToScreen(page, &panel);
    EXPECT_EQ(CaptureScreen(RECT{panel.x, panel.y, panel.x + 1, panel.y + 1}).At(0, 0), window)
        << "the side panel's art is still there";
    EXPECT_TRUE(run.QuitFrom(page));
}
