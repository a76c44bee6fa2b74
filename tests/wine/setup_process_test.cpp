// setup.exe as a separate process, from a copy of the media, as a person starts
// it: the administrator question, the reinstall question, the media check and
// the "autorun" tail, with exit codes and what is left behind.
#include <gtest/gtest.h>

#include <string>

#include "common/product_catalogue.h"
#include "test_registry.h"
#include "wizard_driver.h"

namespace {
class SetupProcess : public ::testing::Test {
protected:
    ProductKeysGuard keys;
    ScratchDir media{"media"};
    void SetUp() override { ASSERT_TRUE(CopyMedia(media.Path())); }
    void RecordEarlierInstallation(HKEY root, const std::string& folder) {
        ASSERT_TRUE(RegWriteRaw(root, kProductKey, kSetupPathValue, REG_SZ, folder.c_str(),
                                static_cast<DWORD>(folder.size() + 1)));
    }
    static bool NoMessageBoxes(DWORD pid) {
        for (HWND w : TopWindowsOf(pid))
            if (IsMessageBox(w))
                return false;
        return true;
    }
};

int CountValues(HKEY root, const char* path) {
    HKEY key;
    if (::RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD values = 0;
    ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                       nullptr);
    ::RegCloseKey(key);
    return static_cast<int>(values);
}
}  // namespace

TEST_F(SetupProcess, FreshStartOpensTheWelcomePageAndQuittingChangesNothingButTheEmptyKey) {
    SetupRun run(media.Path());
    HWND welcome = run.WaitPage(Page::Welcome);
    ASSERT_TRUE(welcome);
    EXPECT_TRUE(NoMessageBoxes(run.Pid()));
    EXPECT_TRUE(run.QuitFrom(welcome));
    EXPECT_EQ(CountValues(HKEY_LOCAL_MACHINE, kProductKey), 0) << "only the empty key that the read created";
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(DirExists("C:\\Program Files\\Brellic Software\\Pagewright"));
}

TEST_F(SetupProcess, MissingUninstallerIsOnlyWarnedAbout) {
    ASSERT_TRUE(::DeleteFileA((media / "uninstall.ex_").c_str()));
    SetupRun run(media.Path());
    HWND box = run.Box("is not found.");
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), "uninstall.exe is not found.");
    EXPECT_EQ(WindowText(box), "setup");
    PressButton(box, IDOK);
    HWND welcome = run.WaitPage(Page::Welcome);
    ASSERT_TRUE(welcome);
    EXPECT_TRUE(NoMessageBoxes(run.Pid()));
    EXPECT_TRUE(run.QuitFrom(welcome));
}

TEST_F(SetupProcess, MissingMainFileStopsWithOneMessageAndTheInterruptedPage) {
    ASSERT_TRUE(::DeleteFileA((media / "Scrivo.ex_").c_str()));
    ASSERT_TRUE(::DeleteFileA((media / "uninstall.ex_").c_str()));
    SetupRun run(media.Path());
    HWND box = run.Box("Sorry Pagewright can not be installed right now.");
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box),
              "Sorry Pagewright can not be installed right now. We \ncould not find necessary installation file. If "
              "you \nhave downloaded the ZIP package from Internet, \nplease unzip the whole package into a temporary "
              "\nfolder, then run Setup.exe from there.");
    PressButton(box, IDOK);
    HWND interrupted = run.WaitPage(Page::Interrupted);
    ASSERT_TRUE(interrupted);
    EXPECT_TRUE(NoMessageBoxes(run.Pid())) << "no second message for the uninstaller";
    EXPECT_TRUE(run.FinishInterrupted());
}

TEST_F(SetupProcess, UnreadableMainFileCountsAsMissing) {
    HANDLE locked = ::CreateFileA((media / "Scrivo.ex_").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    SetupRun run(media.Path());
    HWND box = run.Box("Sorry Pagewright can not be installed right now.");
    ::CloseHandle(locked);
    ASSERT_TRUE(box);
    PressButton(box, IDOK);
    EXPECT_TRUE(run.FinishInterrupted());
}

TEST_F(SetupProcess, MediaIsFoundBesideTheProgramWhateverTheWorkingFolder) {
    SetupOptions options;
    options.workingDir = "C:\\windows";
    SetupRun run(media.Path(), options);
    HWND welcome = run.WaitPage(Page::Welcome);
    ASSERT_TRUE(welcome);
    EXPECT_TRUE(NoMessageBoxes(run.Pid()));
    EXPECT_TRUE(run.QuitFrom(welcome));
}

TEST_F(SetupProcess, MediaInTheRootOfADrive) {
    // Drive R: of the test prefix is an empty folder of its own, as a CD or a USB stick would be.
    ASSERT_TRUE(DirExists("R:\\")) << "the test prefix maps R:";
    ASSERT_TRUE(CopyMedia("R:"));
    {
        SetupOptions options;
        options.workingDir = "C:\\";
        SetupRun run("R:", options);
        HWND welcome = run.WaitPage(Page::Welcome);
        EXPECT_TRUE(welcome);
        EXPECT_TRUE(run.QuitFrom(welcome));
    }
    DeleteTree("R:\\setup.exe");
    for (const char* name : {"Scrivo.ex_", "uninstall.ex_", "leafview.ex_", "GDIPlus.dl_", "msimg32.dl_", "mscms.dl_",
                             "readme.txt", "what's new.txt", "Known Issues.txt", "BRLXCJK.BIN", "scrivoguide.pdf"})
        DeleteTree(std::string("R:\\") + name);
}

TEST_F(SetupProcess, AutorunEndsSilentlyOnlyWhenAnInstallationIsRecorded) {
    RecordEarlierInstallation(HKEY_LOCAL_MACHINE, "C:\\Somewhere\\Pagewright\\");
    {
        SetupOptions options;
        options.args = "/from-cd autorun";
        SetupRun run(media.Path(), options);
        DWORD start = ::GetTickCount();
        int code = -1;
        while ((code = run.Process().WaitExit(50)) == -1 && ::GetTickCount() - start < 15000)
            EXPECT_TRUE(TopWindowsOf(run.Pid()).empty()) << "no page and no message";
        EXPECT_EQ(code, 0);
    }
    ProductKeysGuard::Clean();
    SetupOptions options;
    options.args = "autorun";
    SetupRun run(media.Path(), options);
    HWND welcome = run.WaitPage(Page::Welcome);
    ASSERT_TRUE(welcome) << "without an earlier installation the tail has no effect";
    EXPECT_TRUE(run.QuitFrom(welcome));
}

TEST_F(SetupProcess, ReinstallQuestionDeclinedEndsWithTheInterruptedPage) {
    RecordEarlierInstallation(HKEY_LOCAL_MACHINE, "C:\\Somewhere\\Pagewright\\");
    SetupRun run(media.Path());
    HWND question = run.Box("Do you want to reinstall it?");
    ASSERT_TRUE(question);
    EXPECT_NE(::GetWindowLongA(question, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << "system-modal";
    PressButton(question, IDNO);
    EXPECT_TRUE(run.FinishInterrupted());
    EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, kProductKey, kSetupPathValue), "C:\\Somewhere\\Pagewright\\");
}

TEST_F(SetupProcess, OverlongOrForeignEarlierFolderIsCarriedSafely) {
    std::string folder = "C:\\" + std::string(300, 'x') + "\\Caf\xe9\\";
    RecordEarlierInstallation(HKEY_LOCAL_MACHINE, folder);
    SetupRun run(media.Path());
    HWND question = run.Box("Do you want to reinstall it?");
    ASSERT_TRUE(question);
    PressButton(question, IDYES);
    HWND welcome = run.WaitPage(Page::Welcome);
    ASSERT_TRUE(welcome);
    EXPECT_TRUE(run.QuitFrom(welcome));
}

TEST_F(SetupProcess, NonAdministratorAnsweringNoEndsAtOnce) {
    SetupOptions options;
    options.seamed = true;
    options.env = {"BRELLIC_TEST_NOT_ADMIN=1"};
    SetupRun run(media.Path(), options);
    HWND question = run.Box("you are not an administrator, still keep up installing?");
    ASSERT_TRUE(question);
    EXPECT_EQ(WindowText(question), "setup_seamed");
    PressButton(question, IDNO);
    EXPECT_EQ(run.WaitExit(), 0);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kProductKey)) << "nothing read after the answer";
}

TEST_F(SetupProcess, NonAdministratorAnsweringYesLooksOnlyUnderTheUsersRoot) {
    RecordEarlierInstallation(HKEY_LOCAL_MACHINE, "C:\\ByAdmin\\Pagewright\\");
    SetupOptions options;
    options.seamed = true;
    options.env = {"BRELLIC_TEST_NOT_ADMIN=1"};
    {
        SetupRun run(media.Path(), options);
        HWND question = run.Box("you are not an administrator");
        ASSERT_TRUE(question);
        PressButton(question, IDYES);
        HWND welcome = run.WaitPage(Page::Welcome);
        ASSERT_TRUE(welcome) << "the machine's installation is not seen";
        EXPECT_TRUE(run.QuitFrom(welcome));
        EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kProductKey));
    }
    RecordEarlierInstallation(HKEY_CURRENT_USER, "C:\\Mine\\Pagewright\\");
    SetupRun run(media.Path(), options);
    PressButton(run.Box("you are not an administrator"), IDYES);
    HWND reinstall = run.Box("Do you want to reinstall it?");
    ASSERT_TRUE(reinstall);
    PressButton(reinstall, IDNO);
    EXPECT_TRUE(run.FinishInterrupted());
}

TEST_F(SetupProcess, ProgramPathNearTheLengthLimit) {
    std::string deep = media.Path();
    while (deep.size() < 230) {
        deep += "\\nested-folder";
        ::CreateDirectoryA(deep.c_str(), nullptr);
    }
    ASSERT_TRUE(CopyMedia(deep));
    SetupRun run(deep);
    HWND welcome = run.WaitPage(Page::Welcome);
    ASSERT_TRUE(welcome);
    EXPECT_TRUE(NoMessageBoxes(run.Pid()));
    EXPECT_TRUE(run.QuitFrom(welcome));
}
