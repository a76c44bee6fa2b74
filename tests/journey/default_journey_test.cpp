// The default installation and its removal, as a person does them.
#include <gtest/gtest.h>

#include "journey.h"

namespace {
const char* const kInstalledFiles[] = {"Scrivo.exe",     "readme.txt",       "uninstall.exe", "BRLXCJK.BIN",
                                       "what's new.txt", "Known Issues.txt", "leafview.exe",  "scrivoguide.pdf"};
}

TEST_F(Journey, DefaultInstallationStartsTheEditorAndRemovalLeavesTheMachineAsBefore) {
    ProductTraces before = ProductTraces::Now();
    SetupRun run(media.Path());
    HWND finish = WalkToFinish(run, "journey-default");
    ASSERT_TRUE(finish) << DescribeWindows(WindowsOfProcess(run.Pid()));
    EXPECT_TRUE(IsChecked(finish, 1008)) << "the run option starts ticked";
    Click(finish, IDOK);
    EXPECT_EQ(run.WaitExit(30000), 0);

    HWND editor = ::FindWindowA(nullptr, kEditorWindowTitle);
    ASSERT_TRUE(editor) << "the installed editor was started";
    for (const char* name : kInstalledFiles)
        EXPECT_TRUE(FileExists(std::string(kDefaultFolder) + "\\" + name)) << name;
    EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, kProductKey, kSetupPathValue), std::string(kDefaultFolder) + "\\");
    EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
              "\"" + std::string(kDefaultFolder) + "\\uninstall.exe\"");
    EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Brellic Pagewright");
    EXPECT_TRUE(FileExists(GroupFolder() + "\\Brellic Pagewright.lnk"));
    EXPECT_TRUE(FileExists(GroupFolder() + "\\Uninstall.lnk"));
    EXPECT_TRUE(FileExists(GroupFolder() + "\\Brellic Leafview.lnk"));
    EXPECT_TRUE(FileExists(GroupFolder() + "\\Brellic Pagewright User Manual.lnk"));
    EXPECT_TRUE(FileExists(DesktopLink()));

    CloseEditors();
    EXPECT_EQ(RemoveThroughInstalledPrograms(), "You have successfully removed Brellic Pagewright.");
    EXPECT_TRUE(WaitOwnTempFoldersGone()) << "the temporary copy deletes itself and its folder once it has ended";
    ProductTraces after = ProductTraces::Now();
    EXPECT_EQ(Describe(after), Describe(before));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, "Software\\Brellic Software")) << "the company key stays";
}

TEST_F(Journey, RemovalWhileTheEditorRunsRemovesNothing) {
    SetupRun run(media.Path());
    HWND finish = WalkToFinish(run);
    ASSERT_TRUE(finish);
    Click(finish, IDOK);
    ASSERT_EQ(run.WaitExit(30000), 0);
    ASSERT_TRUE(::FindWindowA(nullptr, kEditorWindowTitle));
    ProductTraces installed = ProductTraces::Now();

    EXPECT_EQ(RemoveThroughInstalledPrograms(), "Brellic Pagewright is being used, please exit and retry.");
    for (const char* name : kInstalledFiles)
        EXPECT_TRUE(FileExists(std::string(kDefaultFolder) + "\\" + name)) << name;
    EXPECT_EQ(Describe(ProductTraces::Now()), Describe(installed));
}

TEST_F(Journey, NotRunEditorTailHidesTheRunOptionAndStartsNothing) {
    SetupOptions options;
    options.args = "notruneditor";
    SetupRun run(media.Path(), options);
    HWND finish = WalkToFinish(run);
    ASSERT_TRUE(finish);
    EXPECT_FALSE(IsShown(finish, 1008));
    Click(finish, IDOK);
    EXPECT_EQ(run.WaitExit(30000), 0);
    EXPECT_FALSE(::FindWindowA(nullptr, kEditorWindowTitle));
    EXPECT_TRUE(FileExists(std::string(kDefaultFolder) + "\\Scrivo.exe"));
}
