// The progress window of an installation that takes a while: where it opens,
// what it shows, and Cancel, which asks first and then undoes everything.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "journey.h"
#include "setup/res/resource.h"

namespace {
int BarPosition(HWND progress) {
    return static_cast<int>(::SendMessageA(::GetDlgItem(progress, IDC_PROGRESS_BAR), PBM_GETPOS, 0, 0));
}

// Waits until the bar has passed the position.
bool BarPasses(HWND progress, int position) {
    return WaitUntil([&] { return BarPosition(progress) > position; }, 10000);
}
}  // namespace

TEST_F(Journey, ASlowInstallationShowsItsProgressWhereTheConfirmationWasAndCancelUndoesIt) {
    ProductTraces before = ProductTraces::Now();
    SetupOptions options;
    options.seamed = true;
    options.env = {"BRELLIC_TEST_COPY_PAUSE_MS=700"};
    SetupRun run(media.Path(), options);
    HWND confirm = WalkTo(run, Page::Confirm, false);
    ASSERT_TRUE(confirm) << DescribeWindows(run.Windows());
    RECT confirmRect = WindowRect(confirm);
    ASSERT_TRUE(ClickAndLeave(confirm, IDOK));

    HWND progress = run.WaitPage(Page::Progress, 10000);
    ASSERT_TRUE(progress) << DescribeWindows(run.Windows());
    RECT progressRect = WindowRect(progress);
    EXPECT_TRUE(::EqualRect(&progressRect, &confirmRect));
    EXPECT_EQ(WindowText(::GetDlgItem(progress, IDC_PROGRESS_TEXT)), "Installing Brellic Pagewright...");
    ASSERT_TRUE(BarPasses(progress, 0));
    EXPECT_EQ(WindowText(::GetDlgItem(progress, IDC_PROGRESS_FILE)).rfind(kDefaultFolder, 0), 0u);
    Settle(300);
    SaveScreenshot(ScreenshotPath("journey-progress"));

    // No to the quit question: the copy goes on.
    Click(progress, IDCANCEL);
    HWND question = run.Box(kQuitQuestionText);
    ASSERT_TRUE(question);
    int reached = BarPosition(progress);
    Answer(question, IDNO);
    EXPECT_TRUE(BarPasses(progress, reached));

    // Yes: everything copied so far is undone, and the interrupted page says so.
    EXPECT_TRUE(run.QuitFrom(progress));
    EXPECT_FALSE(DirExists(kDefaultFolder));
    EXPECT_EQ(Describe(ProductTraces::Now()), Describe(before));
}

// A question during the copy holds the progress window, so its Cancel cannot
// open a second question over the first; the answer gives it back.
TEST_F(Journey, TheProgressWindowTakesNoClickWhileAQuestionWaits) {
    ASSERT_TRUE(InstallWithEditorRunning());

    SetupOptions options;
    options.seamed = true;
    options.args = "notruneditor";
    options.env = {"BRELLIC_TEST_COPY_PAUSE_MS=400"};
    SetupRun again(media.Path(), options);
    HWND confirm = ReinstallToConfirm(again);
    ASSERT_TRUE(confirm);
    ASSERT_TRUE(ClickAndLeave(confirm, IDOK));
    HWND retry = again.Box("must be closed to proceed with the installation", 30000);
    ASSERT_TRUE(retry) << DescribeWindows(again.Windows());
    HWND progress = again.WaitPage(Page::Progress, 1000);
    ASSERT_TRUE(progress);
    EXPECT_FALSE(::IsWindowEnabled(progress));
    CloseEditors();
    Answer(retry, IDOK);
    EXPECT_TRUE(WaitFor(
        again.Windows(), [&](HWND) { return ::IsWindowEnabled(progress) != FALSE; }, 5000));
    HWND done = again.WaitPage(Page::Finish, 60000);
    ASSERT_TRUE(done);
    Click(done, IDOK);
    EXPECT_EQ(again.WaitExit(30000), 0);
}
