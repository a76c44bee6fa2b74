// The pages' own behaviour, each page run on its own: placement and move
// tracking, the licence text, the version line, the confirmation summary,
// the finish page's run option, and the log report.
#include <gtest/gtest.h>

#include <string>

#include "page_harness.h"
#include "setup/debug_log.h"
#include "test_fs.h"
#include "test_paths.h"
#include "ui_driver.h"

namespace {

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& rc) {
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "-" + std::to_string(rc.right) + "," +
           std::to_string(rc.bottom);
}

TEST(WelcomePage, OpensCentredTopmostAndRecordsEveryMove) {
    TestSetupApp app;
    OpenedPage opened(app.m_pageWelcome, Page::Welcome);
    HWND page = opened.Window();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(CentredOnWorkArea(page));
    EXPECT_TRUE(::GetWindowLongA(page, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(Describe(app.m_rcPage), Describe(WindowRect(page))) << "the centred place is recorded";
    EXPECT_EQ(::SendMessageA(page, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(app.m_pageWelcome.m_hIcon));
    EXPECT_NE(app.m_pageWelcome.m_hIcon, nullptr);

    DragWindowTo(page, 40, 50);
    EXPECT_EQ(app.m_rcPage.left, 40);
    EXPECT_EQ(app.m_rcPage.top, 50);
    Click(page, IDOK);
    EXPECT_EQ(opened.Result(), IDOK);
}

TEST(InnerPages, OpenWhereThePreviousPageWasAndRecordOnlyLaterMoves) {
    const struct {
        Page kind;
        int templateId;
    } pages[] = {{Page::Agreement, IDD_AGREEMENT},
                 {Page::InstallType, IDD_INSTALLTYPE},
                 {Page::Destination, IDD_DESTINATION},
                 {Page::Confirm, IDD_CONFIRM}};
    for (const auto& p : pages) {
        SCOPED_TRACE(PageName(p.kind));
        TestSetupApp app;
        CDialog* dialogs[] = {&app.m_pageAgreement, &app.m_pageInstallType, &app.m_pageDestination, &app.m_pageConfirm};
        const RECT shared = PageRectAt(p.templateId, 333, 222);
        app.m_rcPage = shared;
        app.m_bPageOpening = 1;
        OpenedPage opened(*dialogs[&p - pages], p.kind);
        HWND page = opened.Window();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Describe(WindowRect(page)), Describe(shared));
        EXPECT_EQ(app.m_bPageOpening, 0) << "the opening move is consumed";
        EXPECT_TRUE(SameRect(app.m_rcPage, shared));
        EXPECT_FALSE(::GetWindowLongA(page, GWL_EXSTYLE) & WS_EX_TOPMOST);

        DragWindowTo(page, 70, 80);
        EXPECT_EQ(Describe(app.m_rcPage), Describe(WindowRect(page)));
        EXPECT_EQ(app.m_rcPage.left, 70);
        Quit(page, QuitWay::Button);
        HWND box = opened.Box("Are you sure");
        ASSERT_NE(box, nullptr);
        Answer(box, IDYES);
        EXPECT_EQ(opened.Result(), IDCANCEL);
    }
}

TEST(InterruptedAndFinishPages, OpenCentredWhereverThePagesBeforeWere) {
    for (Page kind : {Page::Interrupted, Page::Finish}) {
        SCOPED_TRACE(PageName(kind));
        TestSetupApp app;
        app.m_rcPage = PageRectAt(IDD_AGREEMENT, 10, 20);
        CDialog& dialog = kind == Page::Finish ? static_cast<CDialog&>(app.m_pageFinish) : app.m_pageInterrupted;
        OpenedPage opened(dialog, kind);
        ASSERT_NE(opened.Window(), nullptr);
        EXPECT_TRUE(CentredOnWorkArea(opened.Window()));
        Click(opened.Window(), IDOK);
        EXPECT_EQ(opened.Result(), IDOK);
    }
}

TEST(AgreementPage, ShowsTheWholeLicenceReadOnly) {
    std::string licence = ReadFileText(TEST_SOURCE_DIR "\\setup\\res\\agreement.txt");
    ASSERT_FALSE(licence.empty());

    TestSetupApp app;
    app.m_rcPage = PageRectAt(IDD_AGREEMENT, 100, 100);
    OpenedPage opened(app.m_pageAgreement, Page::Agreement);
    HWND page = opened.Window();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ControlText(page, IDC_LICENSE), licence);
    EXPECT_EQ(::SendDlgItemMessageA(page, IDC_LICENSE, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    TypeText(page, IDC_LICENSE, "changed");
    EXPECT_EQ(ControlText(page, IDC_LICENSE), licence) << "the user cannot change the text";
    ::SendDlgItemMessageA(page, IDC_LICENSE, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_GT(::SendDlgItemMessageA(page, IDC_LICENSE, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "but can scroll it";
    Click(page, IDOK);
    EXPECT_EQ(opened.Result(), IDOK);
    EXPECT_EQ(std::string(app.m_pageAgreement.m_strLicense), licence);
}

TEST(InstallTypePage, EachChoiceEndsThePageWithItsCode) {
    const struct {
        const char* name;
        int command;
        INT_PTR result;
    } cases[] = {
        {"Default", IDC_DEFAULT, IDOK},
        {"Custom", IDC_CUSTOM, IDC_CUSTOM},
        {"Back", IDC_BACK_TO_AGREEMENT, IDC_BACK_TO_AGREEMENT},
        {"Enter (OK command)", IDOK, IDOK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestSetupApp app;
        app.m_rcPage = PageRectAt(IDD_INSTALLTYPE, 100, 100);
        OpenedPage opened(app.m_pageInstallType, Page::InstallType);
        ASSERT_NE(opened.Window(), nullptr);
        if (c.command == IDOK)
            PressButton(opened.Window(), IDOK);  // the template has no button 1
        else
            Click(opened.Window(), c.command);
        EXPECT_EQ(opened.Result(), c.result);
    }
}

TEST(InstallTypePage, VersionLineSaysUnknownWithoutTheEditorBesideSetup) {
    TestSetupApp app;
    app.m_rcPage = PageRectAt(IDD_INSTALLTYPE, 100, 100);
    ASSERT_FALSE(FileExists(std::string(app.MediaEditorPath())));
    OpenedPage opened(app.m_pageInstallType, Page::InstallType);
    ASSERT_NE(opened.Window(), nullptr);
    EXPECT_EQ(ControlText(opened.Window(), IDC_VERSION_TEXT), "Brellic Pagewright's version is unknown. ");
    EXPECT_EQ(::GetForegroundWindow(), opened.Window());
    Click(opened.Window(), IDC_BACK_TO_AGREEMENT);
    EXPECT_EQ(opened.Result(), IDC_BACK_TO_AGREEMENT);
}

TEST(InstallTypePage, PushButtonsBecomeOwnerDrawnPictureButtonsStayAsTheTemplateMadeThem) {
    TestSetupApp app;
    app.m_rcPage = PageRectAt(IDD_INSTALLTYPE, 100, 100);
    OpenedPage opened(app.m_pageInstallType, Page::InstallType);
    HWND page = opened.Window();
    ASSERT_NE(page, nullptr);
    for (int id : {IDCANCEL, IDC_BACK_TO_AGREEMENT, IDC_DEFAULT, IDC_CUSTOM})
        EXPECT_EQ(::GetWindowLongA(::GetDlgItem(page, id), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << id;
    Click(page, IDC_CUSTOM);
    EXPECT_EQ(opened.Result(), IDC_CUSTOM);
}

TEST(ConfirmPage, SummarisesTheApplicationsChoicesForEveryCombination) {
    const char* dir = "D:\\Very Long Folder Name That Does Not Fit Into The Edit On One Line\\Brellic\\Pagewright\\";
    for (int desktop : {1, 0}) {
        for (int startMenu : {1, 0}) {
            SCOPED_TRACE("desktop " + std::to_string(desktop) + ", start menu " + std::to_string(startMenu));
            TestSetupApp app;
            app.m_rcPage = PageRectAt(IDD_CONFIRM, 100, 100);
            app.m_strInstallDir = dir;
            app.m_bDesktopShortcut = desktop;
            app.m_bStartMenuIcon = startMenu;
            OpenedPage opened(app.m_pageConfirm, Page::Confirm);
            HWND page = opened.Window();
            ASSERT_NE(page, nullptr);
            std::string expected =
                std::string("Destination location: \r\n   ") + dir + "\r\n\r\nDesktop Settings: \r\n";
            if (desktop)
                expected += "   Add a desktop shortcut\r\n";
            if (startMenu)
                expected += "   Add an icon to the Start Menu \r\n";
            EXPECT_EQ(ControlText(page, IDC_EDIT), expected);
            int lines = 3 + 1 + desktop + startMenu + 1;  // the text ends with a line break
            EXPECT_EQ(::SendDlgItemMessageA(page, IDC_EDIT, EM_GETLINECOUNT, 0, 0), lines)
                << "long lines are not wrapped";
            Click(page, desktop ? IDOK : IDC_BACK);
            EXPECT_EQ(opened.Result(), desktop ? IDOK : IDC_BACK);
        }
    }
}

TEST(FinishPage, HidesTheRunOptionOnlyForATailEndingExactlyInNotruneditor) {
    const struct {
        const char* tail;
        bool shown;
    } cases[] = {
        {"", true},
        {"notruneditor", false},
        {"/lang en notruneditor", false},
        {"NotRunEditor", true},
        {"notruneditor ", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.tail + "\"");
        TestSetupApp app;
        app.m_lpCmdLine = c.tail;
        app.m_bRunProgram = 1;
        OpenedPage opened(app.m_pageFinish, Page::Finish);
        HWND page = opened.Window();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(IsShown(page, IDC_RUN_PROGRAM), c.shown);
        EXPECT_EQ(IsChecked(page, IDC_RUN_PROGRAM), c.shown);
        EXPECT_EQ(ControlText(page, IDC_RUN_PROGRAM), "&Run Brellic Pagewright");
        Click(page, IDOK);
        EXPECT_EQ(opened.Result(), IDOK);
        EXPECT_EQ(app.m_bRunProgram, c.shown ? 1 : 0);
    }
}

TEST(FinishPage, OnlyFinishHandsTheRunOptionOver) {
    const struct {
        const char* name;
        void (*close)(HWND page);
        INT_PTR result;
        int runProgram;
    } ways[] = {
        {"Finish", [](HWND page) { Click(page, IDOK); }, IDOK, 0},
        {"Escape", [](HWND page) { Quit(page, QuitWay::Escape); }, IDCANCEL, 1},
        {"close box", [](HWND page) { Quit(page, QuitWay::CloseBox); }, IDCANCEL, 1},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        TestSetupApp app;
        app.m_bRunProgram = 1;
        OpenedPage opened(app.m_pageFinish, Page::Finish);
        ASSERT_NE(opened.Window(), nullptr);
        Click(opened.Window(), IDC_RUN_PROGRAM);
        way.close(opened.Window());
        EXPECT_EQ(opened.Result(), way.result);
        EXPECT_EQ(app.m_bRunProgram, way.runProgram) << "the box was unticked";
    }
}

TEST(DebugMessageDialog, ShowsTheWholeLogReadOnly) {
    TestSetupApp app;
    g_strDebugLog = "Sorry, a fatal error happened\r\nstart IsExitfile()\r\nexit IsExitfile()\r\n";
    OpenedPage opened(app.m_dlgDebugMessage, Page::DebugMessage);
    HWND dialog = opened.Window();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ControlText(dialog, IDC_EDIT), std::string(g_strDebugLog));
    TypeText(dialog, IDC_EDIT, "x");
    EXPECT_EQ(ControlText(dialog, IDC_EDIT), std::string(g_strDebugLog));
    Click(dialog, IDOK);
    EXPECT_EQ(opened.Result(), IDOK);
    g_strDebugLog.Empty();
}

}  // namespace
