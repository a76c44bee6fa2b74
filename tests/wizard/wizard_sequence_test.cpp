// The real setup program walked page by page as a person would: every Back,
// the agreement accepted twice, placement across pages, and a custom
// installation through to the finish page.
#include <gtest/gtest.h>

#include <string>

#include "page_harness.h"
#include "setup/debug_log.h"
#include "test_fs.h"
#include "test_paths.h"
#include "test_registry.h"
#include "ui_driver.h"

namespace {

SetupOptions WithArgs(const std::string& args) {
    SetupOptions options;
    options.args = args;
    return options;
}

// Setup started from the media, past the start-up questions, on its welcome page.
class SetupWalk {
public:
    explicit SetupWalk(const std::string& args = "") : run(TEST_MEDIA_DIR, WithArgs(args)), windows(run.Windows()) {
        // A user who is not an administrator is asked first; carry on as that user.
        HWND first = WaitFor(windows, [](HWND hwnd) { return PageOf(hwnd) == Page::Welcome || IsMessageBox(hwnd); });
        if (first && IsMessageBox(first) && MessageBoxText(first).find("not an administrator") != std::string::npos)
            Answer(first, IDYES);
        welcome = run.WaitPage(Page::Welcome);
    }
    HWND Go(HWND page, int button, Page next) {
        HWND shown = ClickAndLeave(page, button) ? WaitForPage(windows, next) : nullptr;
        EXPECT_NE(shown, nullptr) << "expected the " << PageName(next) << " page: " << DescribeWindows(windows);
        return shown;
    }

    ProductKeysGuard keys;
    SetupRun run;
    WindowSource windows;
    HWND welcome = nullptr;
};

TEST(WizardSequence, BackFromEveryPageAndTheAgreementAcceptedTwice) {
    SetupWalk walk;
    ASSERT_NE(walk.welcome, nullptr) << DescribeWindows(walk.windows);
    HWND page = walk.Go(walk.welcome, IDOK, Page::Agreement);
    ASSERT_TRUE(page);
    page = walk.Go(page, IDOK, Page::InstallType);
    ASSERT_TRUE(page);
    page = walk.Go(page, IDC_BACK_TO_AGREEMENT, Page::Agreement);
    ASSERT_TRUE(page);
    page = walk.Go(page, IDOK, Page::InstallType);
    ASSERT_TRUE(page);
    page = walk.Go(page, IDC_CUSTOM, Page::Destination);
    ASSERT_TRUE(page);
    const std::string defaultDir = ControlText(page, IDC_EDIT);
    EXPECT_NE(defaultDir.find("\\Brellic Software\\Pagewright\\"), std::string::npos) << defaultDir;
    page = walk.Go(page, IDC_BACK, Page::InstallType);
    ASSERT_TRUE(page);
    page = walk.Go(page, IDC_CUSTOM, Page::Destination);
    ASSERT_TRUE(page);
    Click(page, IDC_DESKTOP_SHORTCUT);
    page = walk.Go(page, IDOK, Page::Confirm);
    ASSERT_TRUE(page);
    EXPECT_EQ(ControlText(page, IDC_EDIT), "Destination location: \r\n   " + defaultDir +
                                               "\r\n\r\nDesktop Settings: \r\n   Add an icon to the Start Menu \r\n");
    page = walk.Go(page, IDC_BACK, Page::Destination);
    ASSERT_TRUE(page);
    EXPECT_FALSE(IsChecked(page, IDC_DESKTOP_SHORTCUT)) << "the page keeps what Next saved";
    page = walk.Go(page, IDC_BACK, Page::InstallType);
    ASSERT_TRUE(page);
    page = walk.Go(page, IDC_DEFAULT, Page::Confirm);
    ASSERT_TRUE(page);
    EXPECT_EQ(ControlText(page, IDC_EDIT), "Destination location: \r\n   " + defaultDir +
                                               "\r\n\r\nDesktop Settings: \r\n   Add a desktop shortcut\r\n"
                                               "   Add an icon to the Start Menu \r\n")
        << "Default turns both shortcuts on";
    page = walk.Go(page, IDC_BACK, Page::InstallType);
    ASSERT_TRUE(page);
    EXPECT_TRUE(walk.run.QuitFrom(page));
}

TEST(WizardSequence, EveryInnerPageOpensWhereThePreviousOneWasDraggedTo) {
    SetupWalk walk;
    HWND page = walk.welcome;
    ASSERT_NE(page, nullptr) << DescribeWindows(walk.windows);
    EXPECT_TRUE(CentredOnWorkArea(page));
    EXPECT_TRUE(::GetWindowLongA(page, GWL_EXSTYLE) & WS_EX_TOPMOST);
    DragWindowTo(page, 30, 40);
    page = walk.Go(page, IDOK, Page::Agreement);
    ASSERT_TRUE(page);
    EXPECT_EQ(WindowRect(page).left, 30);
    EXPECT_EQ(WindowRect(page).top, 40);
    EXPECT_FALSE(::GetWindowLongA(page, GWL_EXSTYLE) & WS_EX_TOPMOST);
    DragWindowTo(page, 400, 300);
    page = walk.Go(page, IDOK, Page::InstallType);
    ASSERT_TRUE(page);
    for (auto [button, next] : {std::pair{IDC_CUSTOM, Page::Destination}, std::pair{IDOK, Page::Confirm},
                                std::pair{IDC_BACK, Page::Destination}, std::pair{IDC_BACK, Page::InstallType}}) {
        EXPECT_EQ(WindowRect(page).left, 400) << PageName(PageOf(page));
        EXPECT_EQ(WindowRect(page).top, 300) << PageName(PageOf(page));
        page = walk.Go(page, button, next);
        ASSERT_TRUE(page);
    }
    Click(page, IDCANCEL);
    HWND box = WaitForBox(walk.windows, "Are you sure");
    ASSERT_NE(box, nullptr);
    Answer(box, IDYES);
    HWND interrupted = WaitForPage(walk.windows, Page::Interrupted);
    ASSERT_NE(interrupted, nullptr);
    EXPECT_TRUE(CentredOnWorkArea(interrupted)) << "centred, not where the pages were";
    PressEscape(interrupted);
    EXPECT_EQ(walk.run.WaitExit(), 0);
}

TEST(WizardSequence, RefusingTheAgreementInterrupts) {
    SetupWalk walk;
    ASSERT_NE(walk.welcome, nullptr);
    HWND page = walk.Go(walk.welcome, IDOK, Page::Agreement);
    ASSERT_TRUE(page);
    EXPECT_TRUE(walk.run.QuitFrom(page));
}

// The custom path into a scratch folder, without shortcuts, to the finish page.
TEST(WizardSequence, CustomInstallationReachesTheCentredFinishPage) {
    ScratchDir target("wizard-install");
    SetupWalk walk("notruneditor");
    ASSERT_NE(walk.welcome, nullptr);
    HWND page = walk.Go(walk.welcome, IDOK, Page::Agreement);
    ASSERT_TRUE(page);
    DragWindowTo(page, 20, 20);
    page = walk.Go(page, IDOK, Page::InstallType);
    ASSERT_TRUE(page);
    page = walk.Go(page, IDC_CUSTOM, Page::Destination);
    ASSERT_TRUE(page);
    TypeText(page, IDC_EDIT, target.Path());
    Click(page, IDC_DESKTOP_SHORTCUT);
    Click(page, IDC_STARTMENU_ICON);
    page = walk.Go(page, IDOK, Page::Confirm);
    ASSERT_TRUE(page);
    EXPECT_EQ(ControlText(page, IDC_EDIT),
              "Destination location: \r\n   " + target.Path() + "\\\r\n\r\nDesktop Settings: \r\n");
    page = walk.Go(page, IDOK, Page::Finish);
    ASSERT_TRUE(page);
    EXPECT_TRUE(CentredOnWorkArea(page));
    EXPECT_FALSE(IsShown(page, IDC_RUN_PROGRAM)) << "started with notruneditor";
    Click(page, IDOK);
    EXPECT_EQ(walk.run.WaitExit(), 0);
}

// The install-type page ends only with its own codes; any other result ends
// the run without installing and without the interrupted page.
TEST(WizardSequence, AnUnexpectedInstallTypeResultEndsWithoutInstalling) {
    TestSetupApp app;
    app.m_rcPage = PageRectAt(IDD_INSTALLTYPE, 100, 100);
    ModalThread run([&app] {
        app.RunWizard();
        return INT_PTR{0};
    });
    WindowSource windows = WindowsOfThread(run);
    HWND page = WaitForPage(windows, Page::InstallType);
    ASSERT_NE(page, nullptr) << DescribeWindows(windows);
    ASSERT_TRUE(::EndDialog(page, 4711));
    ::PostMessageA(page, WM_NULL, 0, 0);
    ASSERT_TRUE(run.Wait(10000)) << "no further page: " << DescribeWindows(windows);
    EXPECT_FALSE(run.ProcessEnded());
    EXPECT_EQ(std::string(g_strDebugLog).find("CopyFileToAnother"), std::string::npos);
}

}  // namespace
