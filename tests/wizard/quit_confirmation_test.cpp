// Every way out of a wizard page before the installation asks first; the
// finish and interrupted pages close at once.
#include <gtest/gtest.h>

#include <functional>

#include "page_harness.h"
#include "setup/pages/page_frame.h"
#include "ui_driver.h"

namespace {

struct QuitPage {
    const char* name;
    Page kind;
    int templateId;
    std::function<CDialog&(TestSetupApp&)> page;
};

const QuitPage kPagesThatAsk[] = {
    {"welcome", Page::Welcome, IDD_WELCOME, [](TestSetupApp& a) -> CDialog& { return a.m_pageWelcome; }},
    {"agreement", Page::Agreement, IDD_AGREEMENT, [](TestSetupApp& a) -> CDialog& { return a.m_pageAgreement; }},
    {"install type", Page::InstallType, IDD_INSTALLTYPE,
     [](TestSetupApp& a) -> CDialog& { return a.m_pageInstallType; }},
    {"destination", Page::Destination, IDD_DESTINATION,
     [](TestSetupApp& a) -> CDialog& { return a.m_pageDestination; }},
    {"confirmation", Page::Confirm, IDD_CONFIRM, [](TestSetupApp& a) -> CDialog& { return a.m_pageConfirm; }},
};

TEST(QuitConfirmation, EveryWayOutAsksNoKeepsThePageYesEndsItWithCancel) {
    for (const QuitPage& p : kPagesThatAsk) {
        for (QuitWay way : {QuitWay::Button, QuitWay::Escape, QuitWay::CloseBox}) {
            SCOPED_TRACE(std::string(p.name) + ", " + QuitWayName(way));
            TestSetupApp app;
            app.m_rcPage = PageRectAt(p.templateId, 120, 90);
            OpenedPage opened(p.page(app), p.kind);
            HWND page = opened.Window();
            ASSERT_NE(page, nullptr);

            Quit(page, way);
            HWND box = opened.Box(kQuitQuestion);
            ASSERT_NE(box, nullptr) << DescribeWindows(opened.Windows());
            EXPECT_EQ(MessageBoxText(box), "Are you sure you want to quit Brellic Pagewright installation?");
            EXPECT_EQ(WindowText(box), "Brellic Pagewright Setup");
            EXPECT_EQ(::GetWindow(box, GW_OWNER), page);
            EXPECT_TRUE(HasButton(box, IDYES) && HasButton(box, IDNO));
            EXPECT_FALSE(HasButton(box, IDOK) || HasButton(box, IDCANCEL));
            EXPECT_FALSE(ShowsIcon(box));
            EXPECT_EQ(DefaultButton(box), IDYES);
            ASSERT_TRUE(Answer(box, IDNO));
            EXPECT_TRUE(::IsWindowVisible(page) && ::IsWindowEnabled(page)) << "No keeps the page";

            Quit(page, way);
            box = opened.Box(kQuitQuestion);
            ASSERT_NE(box, nullptr) << "asked again after No";
            ASSERT_TRUE(Answer(box, IDYES));
            EXPECT_EQ(opened.Result(), IDCANCEL);
        }
    }
}

TEST(QuitConfirmation, DisagreeingWithTheLicenceAsksTheSameQuestion) {
    TestSetupApp app;
    app.m_rcPage = PageRectAt(IDD_AGREEMENT, 120, 90);
    OpenedPage opened(app.m_pageAgreement, Page::Agreement);
    ASSERT_NE(opened.Window(), nullptr);
    EXPECT_EQ(ControlText(opened.Window(), IDCANCEL), "I &don't agree");
    Click(opened.Window(), IDCANCEL);
    HWND box = opened.Box(kQuitQuestion);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(Answer(box, IDYES));
    EXPECT_EQ(opened.Result(), IDCANCEL);
}

TEST(QuitConfirmation, FinishAndInterruptedPagesCloseAtOnceWithCancel) {
    for (QuitWay way : {QuitWay::Escape, QuitWay::CloseBox}) {
        for (Page kind : {Page::Finish, Page::Interrupted}) {
            SCOPED_TRACE(std::string(PageName(kind)) + ", " + QuitWayName(way));
            TestSetupApp app;
            CDialog& page = kind == Page::Finish ? static_cast<CDialog&>(app.m_pageFinish) : app.m_pageInterrupted;
            OpenedPage opened(page, kind);
            ASSERT_NE(opened.Window(), nullptr);
            Quit(opened.Window(), way);
            EXPECT_EQ(opened.Result(), IDCANCEL) << DescribeWindows(opened.Windows());
        }
    }
}

}  // namespace
