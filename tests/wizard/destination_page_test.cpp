// The destination page as a person uses it: typing folders that are and are
// not accepted, the folder browser, and what Back and Browse keep.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "page_harness.h"
#include "test_fs.h"
#include "test_places.h"
#include "ui_driver.h"
#include "wine_drives.h"

namespace {

const char kPathError[] = "Setup path is error.";
const char kStartDir[] = "C:\\Program Files\\Brellic Software\\Pagewright\\";

class DestinationPageTest : public ::testing::Test {
protected:
    DestinationPageTest() {
        app.m_rcPage = PageRectAt(IDD_DESTINATION, 100, 100);
        app.m_strInstallDir = kStartDir;
        app.m_bDesktopShortcut = app.m_bStartMenuIcon = 1;
    }
    TestSetupApp app;
};

// Types the folder, presses Next and expects the error box; the page stays as it was.
void ExpectRejected(OpenedPage& opened, const std::string& typed) {
    SCOPED_TRACE("typed \"" + typed + "\"");
    HWND page = opened.Window();
    TypeText(page, IDC_EDIT, typed);
    Click(page, IDOK);
    HWND box = opened.Box(kPathError);
    ASSERT_NE(box, nullptr) << DescribeWindows(opened.Windows());
    EXPECT_EQ(MessageBoxText(box), kPathError);
    EXPECT_EQ(WindowText(box), "setup") << "the program's title";
    EXPECT_EQ(::GetWindow(box, GW_OWNER), page);
    EXPECT_TRUE(HasButton(box, IDOK));
    EXPECT_FALSE(HasButton(box, IDCANCEL) || HasButton(box, IDYES));
    EXPECT_FALSE(ShowsIcon(box));
    ASSERT_TRUE(Answer(box, IDOK));
    EXPECT_FALSE(opened.Ended());
    EXPECT_EQ(ControlText(page, IDC_EDIT), typed);
}

TEST_F(DestinationPageTest, RejectsFoldersWithoutAnExistingDriveAndKeepsThePageAsItWas) {
    ScratchDir empty("emptydrive");
    char emptyLetter = UnusedDriveLetter();
    ASSERT_NE(emptyLetter, 0);
    MappedDrive emptyDrive(emptyLetter, empty.Path());
    ASSERT_TRUE(emptyDrive.Ok());
    char missing = UnusedDriveLetter();
    ASSERT_NE(missing, 0);

    OpenedPage opened(app.m_pageDestination, Page::Destination);
    ASSERT_NE(opened.Window(), nullptr);
    EXPECT_EQ(ControlText(opened.Window(), IDC_EDIT), kStartDir);
    Click(opened.Window(), IDC_DESKTOP_SHORTCUT);
    const std::vector<std::string> rejected = {
        "\\\\server\\share\\Apps",
        "Apps\\Pagewright",
        "C",
        "",
        std::string(1, missing) + ":\\Apps",
        emptyDrive.Root() + "Apps",  // a drive whose root holds nothing
        "C:Apps",
        "C:\\Apps|Tools",
        "C:\\" + std::string(230, 'x'),  // no room left for the installed files' names
        // Folders the uninstaller would refuse to remove from.
        "C:",
        "C:\\",
        "C:/Pagewright",
        "C:\\x\\..\\Pagewright",
        "C:\\Pagewright.",
        "C:\\Tools\\\\Pagewright",
        WindowsFolderPath() + "Pagewright",
    };
    for (const std::string& typed : rejected)
        ExpectRejected(opened, typed);
    EXPECT_FALSE(IsChecked(opened.Window(), IDC_DESKTOP_SHORTCUT)) << "the page keeps its state";
    EXPECT_EQ(std::string(app.m_strInstallDir), kStartDir) << "nothing reaches the application";
    EXPECT_EQ(app.m_bDesktopShortcut, 1);

    Quit(opened.Window(), QuitWay::Escape);
    HWND box = opened.Box("Are you sure");
    ASSERT_NE(box, nullptr);
    Answer(box, IDYES);
    EXPECT_EQ(opened.Result(), IDCANCEL);
}

TEST_F(DestinationPageTest, NextStoresTheTypedFolderWithOneBackslashAndTheOptions) {
    ScratchDir media("filleddrive");
    ASSERT_TRUE(WriteFileText(media / "content.txt", "x"));
    char letter = UnusedDriveLetter();
    MappedDrive drive(letter, media.Path());
    ASSERT_TRUE(drive.Ok());
    const struct {
        std::string typed;
        std::string stored;
        bool untickDesktop;
        bool untickStartMenu;
    } cases[] = {
        {"C:\\No\\Such\\Folder", "C:\\No\\Such\\Folder\\", false, false},
        {"C:\\Br\xe4llic \xc9"
         "diteur",
         "C:\\Br\xe4llic \xc9"
         "diteur\\",
         true, false},
        {"C:\\Tools\\", "C:\\Tools\\", false, true},
        {drive.Root() + "Apps", drive.Root() + "Apps\\", true, true},
        {"C:\\" + std::string(259 - 35 - 4, 'x'), "C:\\" + std::string(259 - 35 - 4, 'x') + "\\", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        TestSetupApp fresh;
        fresh.m_rcPage = app.m_rcPage;
        fresh.m_strInstallDir = kStartDir;
        OpenedPage opened(fresh.m_pageDestination, Page::Destination);
        HWND page = opened.Window();
        ASSERT_NE(page, nullptr);
        TypeText(page, IDC_EDIT, c.typed);
        if (c.untickDesktop)
            Click(page, IDC_DESKTOP_SHORTCUT);
        if (c.untickStartMenu)
            Click(page, IDC_STARTMENU_ICON);
        Click(page, IDOK);
        EXPECT_EQ(opened.Result(), IDOK) << DescribeWindows(opened.Windows());
        EXPECT_EQ(std::string(fresh.m_strInstallDir), c.stored);
        EXPECT_EQ(fresh.m_bDesktopShortcut, c.untickDesktop ? 0 : 1);
        EXPECT_EQ(fresh.m_bStartMenuIcon, c.untickStartMenu ? 0 : 1);
    }
}

TEST_F(DestinationPageTest, OptionsSavedByNextAreShownAgainAfterBack) {
    {
        OpenedPage opened(app.m_pageDestination, Page::Destination);
        ASSERT_NE(opened.Window(), nullptr);
        EXPECT_TRUE(IsChecked(opened.Window(), IDC_DESKTOP_SHORTCUT) && IsChecked(opened.Window(), IDC_STARTMENU_ICON));
        Click(opened.Window(), IDC_DESKTOP_SHORTCUT);
        Click(opened.Window(), IDC_STARTMENU_ICON);
        TypeText(opened.Window(), IDC_EDIT, "C:\\Chosen");
        Click(opened.Window(), IDOK);
        ASSERT_EQ(opened.Result(), IDOK);
    }
    app.m_bDesktopShortcut = app.m_bStartMenuIcon = 1;  // as the agreement would set them again
    {
        OpenedPage opened(app.m_pageDestination, Page::Destination);
        ASSERT_NE(opened.Window(), nullptr);
        EXPECT_FALSE(IsChecked(opened.Window(), IDC_DESKTOP_SHORTCUT));
        EXPECT_FALSE(IsChecked(opened.Window(), IDC_STARTMENU_ICON));
        EXPECT_EQ(ControlText(opened.Window(), IDC_EDIT), "C:\\Chosen\\");
        // Back saves nothing: a change made now is gone at the next opening.
        Click(opened.Window(), IDC_DESKTOP_SHORTCUT);
        TypeText(opened.Window(), IDC_EDIT, "C:\\Other");
        Click(opened.Window(), IDC_BACK);
        EXPECT_EQ(opened.Result(), IDC_BACK);
    }
    EXPECT_EQ(std::string(app.m_strInstallDir), "C:\\Chosen\\");
    OpenedPage opened(app.m_pageDestination, Page::Destination);
    ASSERT_NE(opened.Window(), nullptr);
    EXPECT_FALSE(IsChecked(opened.Window(), IDC_DESKTOP_SHORTCUT));
    EXPECT_EQ(ControlText(opened.Window(), IDC_EDIT), "C:\\Chosen\\");
    Click(opened.Window(), IDC_BACK);
    EXPECT_EQ(opened.Result(), IDC_BACK);
}

// Types over the edit, presses Browse, selects the folder in the browser as a
// click in its tree does, waits until the browser's status line shows the
// folder's path, and presses the browser's OK (its Cancel for an empty folder).
// Returns once the page has reloaded its controls.
void BrowseTo(OpenedPage& opened, const std::string& folder, bool refused = false) {
    const char kTyped[] = "D:\\typed";
    TypeText(opened.Window(), IDC_EDIT, kTyped);
    Click(opened.Window(), IDC_BROWSE);
    HWND browser = opened.OtherDialog();
    ASSERT_NE(browser, nullptr) << DescribeWindows(opened.Windows());
    if (folder.empty()) {
        PressButton(browser, IDCANCEL);
    } else {
        auto statusShowsFolder = [&](HWND child) {
            return ::lstrcmpiA(WindowText(child).c_str(), folder.c_str()) == 0 && WindowClass(child) != "Edit";
        };
        HWND status = nullptr;
        // The browser fills its tree while it opens; a selection made too early does not hold.
        for (int attempt = 0; attempt < 20 && !status; ++attempt) {
            ::SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
            status = WaitFor([browser] { return ChildWindows(browser); }, statusShowsFolder, 500);
        }
        ASSERT_NE(status, nullptr) << "the status line shows the selected folder's path";
        PressButton(browser, IDOK);
    }
    ASSERT_TRUE(WaitGone(browser));
    if (refused) {
        HWND box = opened.Box(kPathError);
        ASSERT_NE(box, nullptr) << DescribeWindows(opened.Windows());
        ASSERT_TRUE(Answer(box, IDOK));
    }
    HWND page = opened.Window();
    ASSERT_TRUE(WaitFor([page] { return std::vector<HWND>{::GetDlgItem(page, IDC_EDIT)}; },
                        [&](HWND edit) { return WindowText(edit) != kTyped; }, 5000))
        << "the edit is reloaded";
}

TEST_F(DestinationPageTest, BrowsingAddsTheProductFolderUnlessThereAndReloadsTheControls) {
    ScratchDir scratch("browse");
    ::CreateDirectoryA((scratch / "Tools").c_str(), nullptr);
    ::CreateDirectoryA((scratch / "PAGEWRIGHT").c_str(), nullptr);
    const struct {
        std::string folder;
        std::string expected;
    } cases[] = {
        {scratch / "Tools", scratch / "Tools\\Pagewright\\"},
        {scratch / "PAGEWRIGHT", scratch / "PAGEWRIGHT\\"},
        {"C:\\", "C:\\Pagewright\\"},
    };
    OpenedPage opened(app.m_pageDestination, Page::Destination);
    HWND page = opened.Window();
    ASSERT_NE(page, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        Click(page, IDC_DESKTOP_SHORTCUT);
        BrowseTo(opened, c.folder);
        EXPECT_EQ(std::string(app.m_strInstallDir), c.expected) << "taken at once";
        EXPECT_EQ(ControlText(page, IDC_EDIT), c.expected);
        EXPECT_TRUE(IsChecked(page, IDC_DESKTOP_SHORTCUT)) << "the box shows the page's saved option again";
    }
    // A cancelled browser changes no folder but still reloads the controls.
    BrowseTo(opened, "");
    EXPECT_EQ(std::string(app.m_strInstallDir), "C:\\Pagewright\\");
    EXPECT_EQ(ControlText(page, IDC_EDIT), "C:\\Pagewright\\");

    // Back keeps the browsed folder for a following default installation.
    BrowseTo(opened, scratch / "Tools");
    Click(page, IDC_BACK);
    EXPECT_EQ(opened.Result(), IDC_BACK);
    EXPECT_EQ(std::string(app.m_strInstallDir), scratch / "Tools\\Pagewright\\");
}

// The browser hands back paths of up to 259 characters; with the product's
// folder added, the installed files would no longer fit into the engine's paths.
// Inside the Windows folder the uninstaller would never remove anything.
TEST_F(DestinationPageTest, BrowsingToAFolderTooDeepOrInsideWindowsIsRefused) {
    ScratchDir scratch("deep");
    std::string deep = scratch / std::string(259 - 35 - 12 - scratch.Path().size(), 'd');
    ASSERT_TRUE(::CreateDirectoryA(deep.c_str(), nullptr));
    std::string fits = deep.substr(0, deep.size() - 1);  // one character less: exactly fits with "\Pagewright\"
    ASSERT_TRUE(::CreateDirectoryA(fits.c_str(), nullptr));
    OpenedPage opened(app.m_pageDestination, Page::Destination);
    ASSERT_NE(opened.Window(), nullptr);
    std::string windows = WindowsFolderPath();
    windows.pop_back();  // as the browser's status line shows it
    for (const std::string& refused : {deep, windows}) {
        BrowseTo(opened, refused, true);
        EXPECT_EQ(std::string(app.m_strInstallDir), kStartDir) << refused;
        EXPECT_EQ(ControlText(opened.Window(), IDC_EDIT), kStartDir) << refused;
    }
    BrowseTo(opened, fits);
    EXPECT_EQ(std::string(app.m_strInstallDir), fits + "\\Pagewright\\");
    Click(opened.Window(), IDC_BACK);
    EXPECT_EQ(opened.Result(), IDC_BACK);
}

}  // namespace
