// Journeys with choices: quitting from each page, the custom path, reinstalling
// over an older editor, the editor in the way, and a user without rights.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include "common/shell_folders.h"
#include "journey.h"
#include "test_paths.h"

namespace {
std::string Installed(const std::string& folder, const char* name) {
    return folder + "\\" + name;
}
}  // namespace

TEST_F(Journey, QuittingFromEveryPageAsksFirstAndInstallsNothing) {
    for (Page page : {Page::Welcome, Page::Agreement, Page::InstallType, Page::Destination, Page::Confirm}) {
        SCOPED_TRACE(PageName(page));
        SetupRun run(media.Path());
        WindowSource windows = WindowsOfProcess(run.Pid());
        HWND hwnd = WalkTo(run, page, true);
        ASSERT_TRUE(hwnd) << DescribeWindows(windows) << "; setup " << run.Process().State();
        Click(hwnd, IDCANCEL);
        HWND question = WaitForBox(windows, kQuitQuestionText);
        ASSERT_TRUE(question);
        Answer(question, IDNO);
        EXPECT_EQ(PageOf(hwnd), page) << "No leaves the page open";
        PressEscape(hwnd);
        question = WaitForBox(windows, kQuitQuestionText);
        ASSERT_TRUE(question);
        Answer(question, IDYES);
        HWND interrupted = WaitForPage(windows, Page::Interrupted);
        ASSERT_TRUE(interrupted);
        Click(interrupted, IDOK);
        EXPECT_EQ(run.WaitExit(), 0);
        EXPECT_FALSE(DirExists(kCompanyFolder));
        EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, kProductKey, kSetupPathValue), "<absent>");
    }
}

// The failure's message, then the trace for support in the page's place,
// copied whole with the keyboard; the person's file stays as it was.
TEST_F(Journey, AFolderThatCannotBeMadeEndsWithTheMessageAndTheReport) {
    ScratchDir scratch{"journey-report"};
    ASSERT_TRUE(WriteFileText(scratch / "notes.txt", "keep me"));
    const std::string folder = scratch / "notes.txt\\Pagewright";
    SetupOptions options;
    options.args = "notruneditor";
    SetupRun run(media.Path(), options);
    WindowSource windows = run.Windows();
    HWND destination = WalkTo(run, Page::Destination, true);
    ASSERT_TRUE(destination);
    TypeText(destination, 1005, folder);
    Click(destination, IDOK);
    HWND confirm = WaitForPage(windows, Page::Confirm);
    ASSERT_TRUE(confirm);
    RECT page = WindowRect(confirm);
    Click(confirm, IDOK);
    HWND message = WaitForBox(windows, "Can't create the directory. The installation will be canceled.");
    ASSERT_TRUE(message) << DescribeWindows(windows);
    Answer(message, IDOK);

    HWND report = WaitForPage(windows, Page::DebugMessage);
    ASSERT_TRUE(report) << DescribeWindows(windows);
    RECT placed = WindowRect(report);
    EXPECT_TRUE(::EqualRect(&placed, &page));
    std::string text = ControlText(report, 1005);
    EXPECT_EQ(text.rfind("Sorry, a fatal error happened with Pagewright Setup", 0), 0u) << text;
    size_t copy = text.find("start CopyFileToAnother(");
    size_t path = text.find("start CreateThePath (" + folder + "\\)");
    EXPECT_NE(copy, std::string::npos);
    EXPECT_NE(path, std::string::npos);
    EXPECT_LT(copy, path);
    EXPECT_TRUE(::GetWindowLongA(::GetDlgItem(report, 1005), GWL_STYLE) & ES_READONLY);
    ::SendMessageA(::GetDlgItem(report, 1005), EM_SETSEL, 0, 0);  // only the caret: Ctrl+A must select
    PressKeys(report, {VK_CONTROL, 'A'});
    PressKeys(report, {VK_CONTROL, 'C'});
    EXPECT_EQ(ClipboardText(), text);
    Click(report, IDOK);
    EXPECT_EQ(run.WaitExit(), 0);
    EXPECT_EQ(ReadFileText(scratch / "notes.txt"), "keep me");
    EXPECT_EQ(CountEntries(scratch.Path()), 1);
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

TEST_F(Journey, CustomInstallationIntoAFolderWithBlanksHonoursEachShortcutOption) {
    const std::string folder = "C:\\Program Files\\Brellic Software\\My Editor";
    struct Case {
        bool desktop;
        bool startMenu;
    } const cases[] = {{false, true}, {true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("desktop ") + (c.desktop ? "on" : "off") + ", start menu " +
                     (c.startMenu ? "on" : "off"));
        CleanMachine();
        SetupRun run(media.Path());
        WindowSource windows = WindowsOfProcess(run.Pid());
        HWND destination = WalkTo(run, Page::Destination, true);
        ASSERT_TRUE(destination);
        TypeText(destination, 1005, folder);
        if (!c.desktop)
            Click(destination, 1006);
        if (!c.startMenu)
            Click(destination, 1007);
        Click(destination, IDOK);
        HWND confirm = WaitForPage(windows, Page::Confirm);
        ASSERT_TRUE(confirm);
        std::string summary = "Destination location: \r\n   " + folder + "\\\r\n\r\nDesktop Settings: \r\n";
        if (c.desktop)
            summary += "   Add a desktop shortcut\r\n";
        if (c.startMenu)
            summary += "   Add an icon to the Start Menu \r\n";
        EXPECT_EQ(ControlText(confirm, 1005), summary);
        Click(confirm, IDOK);
        HWND finish = WaitForPage(windows, Page::Finish, 60000);
        ASSERT_TRUE(finish);
        Click(finish, 1008);  // no editor this time
        Click(finish, IDOK);
        EXPECT_EQ(run.WaitExit(30000), 0);
        EXPECT_FALSE(::FindWindowA(nullptr, kEditorWindowTitle));
        EXPECT_TRUE(FileExists(Installed(folder, "Scrivo.exe")));
        EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, kProductKey, kSetupPathValue), folder + "\\");
        EXPECT_EQ(FileExists(DesktopLink()), c.desktop);
        EXPECT_EQ(DirExists(GroupFolder()), c.startMenu);
        EXPECT_EQ(RemoveThroughInstalledPrograms(), "You have successfully removed Brellic Pagewright.");
        EXPECT_FALSE(DirExists(folder));
    }
}

TEST_F(Journey, ReinstallOverAnOlderEditorOffersTheBackupAndAutorunStaysQuiet) {
    ScratchDir oldMedia{"journey-old-media"};
    ASSERT_TRUE(CopyMedia(oldMedia.Path()));
    ASSERT_TRUE(CopyOneFile(std::string(TEST_DATA_DIR) + "\\scrivo-2.0.0.0.exe", oldMedia / "Scrivo.ex_"));
    {
        SetupOptions options;
        options.args = "notruneditor";
        SetupRun first(oldMedia.Path(), options);
        HWND finish = WalkToFinish(first);
        ASSERT_TRUE(finish);
        Click(finish, IDOK);
        ASSERT_EQ(first.WaitExit(30000), 0);
    }
    {
        SetupOptions options;
        options.args = "autorun";
        SetupRun quiet(media.Path(), options);
        EXPECT_EQ(quiet.WaitExit(), 0) << "an earlier installation makes autorun end at once";
    }
    SetupOptions options;
    options.args = "notruneditor";
    SetupRun again(media.Path(), options);
    WindowSource windows = WindowsOfProcess(again.Pid());
    HWND confirm = ReinstallToConfirm(again);
    ASSERT_TRUE(confirm);
    EXPECT_NE(ControlText(confirm, 1005).find(std::string(kDefaultFolder) + "\\"), std::string::npos);
    Click(confirm, IDOK);
    HWND backup = WaitForBox(windows, "Would you like to backup it?");
    ASSERT_TRUE(backup);
    EXPECT_EQ(MessageBoxText(backup),
              "There's a previous version(2.0.0.0) of Brellic Pagewright under the same directory on your "
              "computer.\nWould you like to backup it?");
    Answer(backup, IDYES);
    HWND finish = WaitForPage(windows, Page::Finish, 60000);
    ASSERT_TRUE(finish);
    Click(finish, IDOK);
    EXPECT_EQ(again.WaitExit(30000), 0);
    EXPECT_TRUE(FileExists(Installed(kDefaultFolder, "Scrivo(2.0.0.0).exe")));
    EXPECT_TRUE(FileExists(Installed(kDefaultFolder, "Scrivo.exe")));

    EXPECT_EQ(RemoveThroughInstalledPrograms(true), "You have successfully removed Brellic Pagewright.");
    EXPECT_FALSE(DirExists(kDefaultFolder)) << "the backup went too";
}

TEST_F(Journey, EditorRunningDuringReinstallationIsWaitedFor) {
    ASSERT_TRUE(InstallWithEditorRunning());

    SetupOptions options;
    options.args = "notruneditor";
    SetupRun again(media.Path(), options);
    WindowSource windows = WindowsOfProcess(again.Pid());
    HWND confirm = ReinstallToConfirm(again);
    ASSERT_TRUE(confirm);
    Click(confirm, IDOK);
    HWND retry = WaitForBox(windows, "must be closed to proceed with the installation");
    ASSERT_TRUE(retry);
    CloseEditors();
    Answer(retry, IDOK);
    HWND done = WaitForPage(windows, Page::Finish, 60000);
    ASSERT_TRUE(done);
    Click(done, IDOK);
    EXPECT_EQ(again.WaitExit(30000), 0);
    EXPECT_TRUE(FileExists(Installed(kDefaultFolder, "Scrivo.exe")));
}

TEST_F(Journey, UserWithoutRightsInstallsForThemselves) {
    SetupOptions options;
    options.seamed = true;
    options.args = "notruneditor";
    options.env = {"BRELLIC_TEST_NOT_ADMIN=1"};
    SetupRun run(media.Path(), options);
    WindowSource windows = WindowsOfProcess(run.Pid());
    HWND question = WaitForBox(windows, "you are not an administrator, still keep up installing?");
    ASSERT_TRUE(question);
    Answer(question, IDYES);
    HWND finish = WalkToFinish(run);
    ASSERT_TRUE(finish);
    Click(finish, IDOK);
    EXPECT_EQ(run.WaitExit(30000), 0);
    // Everything in the user's own places: programs folder, Start menu, list of programs.
    std::string folder = GetSpecialFolderPath(CSIDL_LOCAL_APPDATA).str() + "\\Programs\\Brellic Software\\Pagewright\\";
    EXPECT_TRUE(FileExists(folder + "Scrivo.exe"));
    EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, kProductKey, kSetupPathValue), folder);
    EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, kUninstallKey, "UninstallString"), "\"" + folder + "uninstall.exe\"");
    std::string userGroup = GetSpecialFolderPath(CSIDL_PROGRAMS).str() + "\\" + kGroupFolderName;
    EXPECT_TRUE(FileExists(userGroup + "\\Uninstall.lnk"));
    // Nothing for the machine.
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, kProductKey, kSetupPathValue), "<absent>");
    EXPECT_FALSE(DirExists(kCompanyFolder));
    EXPECT_FALSE(DirExists(GroupFolder()));
    // The user removes it again, quietly.
    ChildProcess removal(folder + "uninstall.exe", "/S");
    EXPECT_EQ(removal.WaitExit(30000), 0);
    EXPECT_FALSE(DirExists(folder));
    EXPECT_FALSE(DirExists(userGroup));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kUninstallKey));
}
