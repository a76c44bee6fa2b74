// setup.exe as a separate process, from a copy of the media, as a person starts
// it: the administrator question, the reinstall question, the media check and
// the "autorun" tail, with exit codes and what is left behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/product_catalogue.h"
#include "framework/scoped_handles.h"
#include "test_paths.h"
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
    static bool NoMessageBoxes(const SetupRun& run) { return !run.Await(IsMessageBox, 0); }
};

std::vector<std::string> MediaNames() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    ScopedFindHandle find(::FindFirstFileA(TEST_MEDIA_DIR "\\*", &found));
    if (find)
        do
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(found.cFileName);
        while (::FindNextFileA(find.Get(), &found));
    return names;
}

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

// Where the media lies and which folder setup is started in: each start
// reaches the welcome page without a message, and quitting leaves nothing but
// the empty key that reading the earlier installation made.
struct MediaPlace {
    const char* name;
    enum { Scratch, DeepFolder, DriveRoot } where;
    const char* workingDir;  // empty: the media folder
};

class SetupStart : public SetupProcess, public ::testing::WithParamInterface<MediaPlace> {};

TEST_P(SetupStart, OpensTheWelcomePageAndQuittingChangesNothingButTheEmptyKey) {
    const MediaPlace& place = GetParam();
    std::string folder = media.Path();
    if (place.where == MediaPlace::DeepFolder) {
        while (folder.size() < 230) {
            folder += "\\nested-folder";
            ::CreateDirectoryA(folder.c_str(), nullptr);
        }
    } else if (place.where == MediaPlace::DriveRoot) {
        // Drive R: of the test prefix is an empty folder of its own, as a CD or a USB stick would be.
        ASSERT_TRUE(DirExists("R:\\")) << "the test prefix maps R:";
        folder = "R:";
    }
    ASSERT_TRUE(CopyMedia(folder));
    // The drive's folder belongs to the prefix: only the copy goes again.
    struct RemoveCopy {
        std::string folder;
        ~RemoveCopy() {
            for (const std::string& name : folder.empty() ? std::vector<std::string>() : MediaNames())
                DeleteTree(folder + "\\" + name);
        }
    } removeCopy{place.where == MediaPlace::DriveRoot ? folder : std::string()};
    SetupOptions options;
    options.workingDir = place.workingDir;
    {
        SetupRun run(folder, options);
        HWND welcome = run.WaitPage(Page::Welcome);
        ASSERT_TRUE(welcome) << run.Describe();
        EXPECT_TRUE(NoMessageBoxes(run));
        EXPECT_TRUE(run.QuitFrom(welcome)) << run.Describe();
    }
    EXPECT_EQ(CountValues(HKEY_LOCAL_MACHINE, kProductKey), 0) << "only the empty key that the read created";
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(DirExists("C:\\Program Files\\Brellic Software\\Pagewright"));
}

INSTANTIATE_TEST_SUITE_P(,
                         SetupStart,
                         ::testing::Values(MediaPlace{"FromAScratchFolder", MediaPlace::Scratch, ""},
                                           MediaPlace{"WhateverTheWorkingFolder", MediaPlace::Scratch, "C:\\windows"},
                                           MediaPlace{"InTheRootOfADrive", MediaPlace::DriveRoot, "C:\\"},
                                           MediaPlace{"NearTheLengthLimit", MediaPlace::DeepFolder, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SetupProcess, MissingUninstallerIsOnlyWarnedAbout) {
    ASSERT_TRUE(::DeleteFileA((media / "uninstall.ex_").c_str()));
    SetupRun run(media.Path());
    HWND box = run.Box("is not found.");
    ASSERT_TRUE(box) << run.Describe();
    EXPECT_EQ(MessageBoxText(box), "uninstall.exe is not found.");
    EXPECT_EQ(WindowText(box), "setup");
    PressButton(box, IDOK);
    HWND welcome = run.WaitPage(Page::Welcome);
    ASSERT_TRUE(welcome) << run.Describe();
    EXPECT_TRUE(NoMessageBoxes(run));
    EXPECT_TRUE(run.QuitFrom(welcome));
}

// A main file that is missing or cannot be read: one message, no second one
// for the uninstaller, then the interrupted page.
class MainFileUnusable : public SetupProcess, public ::testing::WithParamInterface<bool> {};

TEST_P(MainFileUnusable, StopsWithOneMessageAndTheInterruptedPage) {
    bool missing = GetParam();
    ScopedHandle locked;
    if (missing) {
        ASSERT_TRUE(::DeleteFileA((media / "Scrivo.ex_").c_str()));
        ASSERT_TRUE(::DeleteFileA((media / "uninstall.ex_").c_str()));
    } else {
        locked.Reset(
            ::CreateFileA((media / "Scrivo.ex_").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locked.IsValid());
    }
    SetupRun run(media.Path());
    HWND box = run.Box("Sorry Pagewright can not be installed right now.");
    locked.Reset();
    ASSERT_TRUE(box) << run.Describe();
    EXPECT_EQ(MessageBoxText(box),
              "Sorry Pagewright can not be installed right now. We \ncould not find necessary installation file. If "
              "you \nhave downloaded the ZIP package from Internet, \nplease unzip the whole package into a temporary "
              "\nfolder, then run Setup.exe from there.");
    PressButton(box, IDOK);
    HWND interrupted = run.WaitPage(Page::Interrupted);
    ASSERT_TRUE(interrupted) << run.Describe();
    EXPECT_TRUE(NoMessageBoxes(run)) << "no second message for the uninstaller";
    EXPECT_TRUE(run.FinishInterrupted());
}

INSTANTIATE_TEST_SUITE_P(, MainFileUnusable, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "Missing" : "Unreadable");
});

TEST_F(SetupProcess, AutorunEndsSilentlyOnlyWhenAnInstallationIsRecorded) {
    RecordEarlierInstallation(HKEY_LOCAL_MACHINE, "C:\\Somewhere\\Pagewright\\");
    {
        SetupOptions options;
        options.args = "/from-cd autorun";
        SetupRun run(media.Path(), options);
        // Any window it shows before it ends fails the test.
        EXPECT_EQ(run.Await([](HWND) { return true; }), nullptr) << "no page and no message";
        EXPECT_EQ(run.WaitExit(), 0);
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
    ASSERT_TRUE(question) << run.Describe();
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
