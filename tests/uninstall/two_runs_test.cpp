// The uninstaller as a user runs it: the installed uninstall.exe asks, starts
// its copy in the temporary folder, and that copy removes everything, reports,
// and is gone itself once it has ended.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "common/product_catalogue.h"
#include "framework/scoped_handles.h"
#include "installation.h"
#include "test_paths.h"
#include "ui_driver.h"
#include "unix_link.h"

namespace {
const char kConfirm[] = "Are you sure uninstall Brellic Pagewright?";
const char kSuccess[] = "You have successfully removed Brellic Pagewright.";
const char kInUse[] = "Brellic Pagewright is being used, please exit and retry.";

// Puts the uninstaller into a folder of its own, as the first run would; the copy's path.
std::string PlaceCopy() {
    std::string copy = TempCopyIn(NewOwnTempFolder());
    EXPECT_TRUE(CopyOneFile(TEST_MEDIA_DIR "\\uninstall.ex_", copy));
    return copy;
}

// Answers the first run's question; returns its exit code.
int ConfirmFirstRun(ChildProcess& firstRun, int button) {
    HWND box = WaitForBox(WindowsOfProcess(firstRun.Id()), kConfirm);
    if (!box)
        return -2;
    EXPECT_EQ(WindowText(box), "Uninstall Brellic Pagewright");
    EXPECT_EQ(::GetDlgItem(box, IDOK), nullptr);  // Yes and No only
    EXPECT_NE(::GetDlgItem(box, IDNO), nullptr);
    PressButton(box, button);
    return firstRun.WaitExit();
}

// Waits for a message box of the copy, lets the user read it for readingMs,
// presses OK and waits for the copy to end. Returns the copy's exit code, or
// -2 when no such box appeared. The copy's folder goes to *folder.
int AnswerCopy(const char* text, int readingMs = 0, std::string* folder = nullptr) {
    HWND box = WaitForBox(WindowsOfAllProcesses(), text);
    if (!box)
        return -2;
    ChildProcess copy = ChildProcess::OfWindow(box);
    EXPECT_EQ(WindowText(box), "Uninstall");
    // The copy's file stays as long as the copy shows its message.
    std::string copyPath = TempCopyPath();
    EXPECT_FALSE(copyPath.empty());
    EXPECT_FALSE(WaitFileGone(copyPath, readingMs));
    if (folder)
        *folder = copyPath.substr(0, copyPath.rfind('\\'));
    PressButton(box, IDOK);
    return copy.WaitExit();
}

void ExpectEverythingRemoved(const TestInstallation& inst) {
    EXPECT_TRUE(inst.RemainingFiles().empty());
    EXPECT_FALSE(DirExists(inst.Dir()));
    EXPECT_FALSE(DirExists(inst.VendorDir()));
    EXPECT_TRUE(inst.ShortcutsGone());
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        EXPECT_FALSE(RegKeyExists(root, kProductKey));
        EXPECT_FALSE(RegKeyExists(root, kUninstallKey));
    }
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brellic Software"));
}
}  // namespace

// A removal through the first run's question, as a user starts it: the copy
// removes everything, reports, and its folder goes once it has ended.
struct FirstRunRemoval {
    const char* name;
    bool registered;             // without SetupPath the uninstaller's own folder is removed
    bool startedInInstallation;  // the installation folder is the current folder, and must still go
    int readingMs;               // how long the user reads the success message
    bool withoutComspec;         // the system's own interpreter deletes the copy
};

class TwoRunsRemoval : public ::testing::TestWithParam<FirstRunRemoval> {};

TEST_P(TwoRunsRemoval, RemovesEverythingAndTheCopyItself) {
    const FirstRunRemoval& row = GetParam();
    TempCopyGuard copyGuard;
    TestInstallation inst;
    inst.Populate();
    if (row.registered)
        inst.Register();
    inst.CreateShortcuts();
    ScopedEnvironmentVariable comspec("COMSPEC", row.withoutComspec ? nullptr : ::getenv("COMSPEC"));

    ChildProcess firstRun(inst.Path("uninstall.exe"), "", row.startedInInstallation ? inst.Dir() : "");
    ASSERT_TRUE(firstRun.Started());
    EXPECT_EQ(ConfirmFirstRun(firstRun, IDYES), 0);
    EXPECT_EQ(AnswerCopy(kSuccess, row.readingMs), 0);
    ExpectEverythingRemoved(inst);
    EXPECT_TRUE(WaitOwnTempFoldersGone());
}

INSTANTIATE_TEST_SUITE_P(,
                         TwoRunsRemoval,
                         ::testing::Values(FirstRunRemoval{"RoundTripFromTheInstallationFolder", true, true, 2500,
                                                           false},
                                           FirstRunRemoval{"WithoutSetupPath", false, false, 0, false},
                                           FirstRunRemoval{"WithoutComspec", true, false, 0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TwoRuns, AnsweringNoChangesNothing) {
    TempCopyGuard copyGuard;
    TestInstallation inst;
    inst.Populate();
    inst.Register();
    inst.CreateShortcuts();

    ChildProcess firstRun(inst.Path("uninstall.exe"), "");
    EXPECT_EQ(ConfirmFirstRun(firstRun, IDNO), 0);
    EXPECT_EQ(inst.RemainingFiles().size(), InstalledNames().size());
    EXPECT_TRUE(inst.ShortcutsPresent());
    EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, kProductKey, "SetupPath"), inst.Dir());
    EXPECT_TRUE(OwnTempFolders().empty());
}

// Nothing is reused: each removal runs from a new folder that goes with it,
// and a file under the name the removal once used is left as it is.
TEST(TwoRuns, EachRemovalRunsFromAFolderOfItsOwnThatGoesWithIt) {
    TempCopyGuard copyGuard;
    DeleteTree(OldFixedTempFolder());
    ASSERT_TRUE(WriteFileText(OldFixedTempFolder(), "left in the way"));
    std::string used[2];
    for (std::string& folder : used) {
        TestInstallation inst;
        inst.Populate();
        inst.Register();
        ChildProcess firstRun(inst.Path("uninstall.exe"), "");
        EXPECT_EQ(ConfirmFirstRun(firstRun, IDYES), 0);
        EXPECT_EQ(AnswerCopy(kSuccess, 0, &folder), 0);
        ExpectEverythingRemoved(inst);
        EXPECT_TRUE(WaitOwnTempFoldersGone());
    }
    EXPECT_NE(used[0], used[1]);
    EXPECT_EQ(ReadFileText(OldFixedTempFolder()), "left in the way");
    ::DeleteFileA(OldFixedTempFolder().c_str());
}

// A removal run turned away because another run holds the lock leaves
// nothing behind either.
TEST(TwoRuns, ARemovalRunTurnedAwayTakesItsFolder) {
    TempCopyGuard copyGuard;
    TestInstallation inst;
    inst.Populate();
    // The test build, so that the removal run gives up at once rather than after its 10 seconds.
    std::string copy = TempCopyIn(NewOwnTempFolder());
    ASSERT_TRUE(CopyOneFile(TEST_DATA_DIR "\\uninstall_seamed.exe", copy));
    ScopedHandle other(::CreateMutexA(nullptr, TRUE, "Global\\Brellic Pagewright Setup and Uninstall"));
    ASSERT_TRUE(other.IsValid());
    ChildProcess removal(copy, "/S " + inst.Dir(), "", {"BRELLIC_TEST_LOCK_WAIT_MS=0"});
    EXPECT_EQ(removal.WaitExit(30000), 1618);
    ::ReleaseMutex(other.Get());
    EXPECT_TRUE(WaitOwnTempFoldersGone());
    EXPECT_TRUE(FileExists(inst.Path("Scrivo.exe")));
}

// The copy started by hand, without the first run: no question first, and
// the folder comes from SetupPath or from its command line. The temporary
// folder named in another letter case still means the removal run.
struct CopyByHand {
    const char* name;
    bool folderOnCommandLine;
    bool lowerCaseTemp;
};

class TwoRunsCopyByHand : public ::testing::TestWithParam<CopyByHand> {};

TEST_P(TwoRunsCopyByHand, RemovesEverything) {
    const CopyByHand& row = GetParam();
    TempCopyGuard copyGuard;
    TestInstallation inst;
    inst.Populate();
    inst.Register();
    std::string placed = PlaceCopy();
    std::string temp = TempFolderPath();
    if (row.lowerCaseTemp) {
        std::string lower = temp;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](char c) { return static_cast<char>(::tolower(c)); });
        ASSERT_NE(lower, temp);
        temp = lower;
    }
    ScopedEnvironmentVariable tmp("TMP", temp.c_str());
    ScopedEnvironmentVariable tempVariable("TEMP", temp.c_str());

    ChildProcess copy(placed, row.folderOnCommandLine ? inst.Dir() : "");
    EXPECT_EQ(AnswerCopy(kSuccess), 0);
    EXPECT_EQ(copy.WaitExit(), 0);
    ExpectEverythingRemoved(inst);
    EXPECT_TRUE(WaitOwnTempFoldersGone());
}

INSTANTIATE_TEST_SUITE_P(,
                         TwoRunsCopyByHand,
                         ::testing::Values(CopyByHand{"TakesTheFolderFromSetupPath", false, false},
                                           CopyByHand{"ModeTestIgnoresLetterCase", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TwoRuns, RunningEditorStopsEverythingBeforeAnythingIsDeleted) {
    TempCopyGuard copyGuard;
    TestInstallation inst;
    inst.Populate();
    inst.Register();
    inst.CreateShortcuts();
    std::string placed = PlaceCopy();
    ChildProcess editor(inst.Path("Scrivo.exe"), "");
    ASSERT_TRUE(WaitFor(WindowsOfProcess(editor.Id()), [](HWND w) { return WindowText(w) == "Brellic Pagewright"; }));

    ChildProcess copy(placed, inst.Dir());
    EXPECT_EQ(AnswerCopy(kInUse), 0);
    EXPECT_EQ(copy.WaitExit(), 0);
    EXPECT_EQ(inst.RemainingFiles().size(), InstalledNames().size());
    EXPECT_TRUE(inst.ShortcutsPresent());
    EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, kProductKey, "SetupPath"), inst.Dir());
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    // The copy goes all the same: the next attempt makes a fresh one.
    EXPECT_TRUE(WaitOwnTempFoldersGone());
    EXPECT_TRUE(editor.Running());
}

// An interpreter named without its folder is taken from the system folder,
// never from beside the copy, where anyone could have put one.
TEST(TwoRuns, InterpreterIsNeverLookedForBesideTheCopy) {
    TempCopyGuard copyGuard;
    TestInstallation inst;
    inst.Populate();
    inst.Register();
    std::string placed = PlaceCopy();
    std::string planted = placed.substr(0, placed.rfind('\\')) + "\\cmd.exe";
    ASSERT_TRUE(CopyOneFile(TEST_MEDIA_DIR "\\Scrivo.ex_", planted));
    struct Unplant {
        std::string path;
        ~Unplant() { ::DeleteFileA(path.c_str()); }
    } unplant{planted};
    ScopedEnvironmentVariable comspec("COMSPEC", "cmd.exe");

    ChildProcess copy(placed, inst.Dir());
    EXPECT_EQ(AnswerCopy(kSuccess), 0);
    EXPECT_TRUE(WaitFileGone(placed));  // the real interpreter did it
    EXPECT_EQ(::FindWindowA(nullptr, "Brellic Pagewright"), nullptr);
}

// A link under the name the removal once used leads nowhere now: the removal
// goes on as usual and writes nothing through it.
TEST(TwoRuns, ALinkUnderTheOldFolderNameIsLeftAlone) {
    TempCopyGuard copyGuard;
    TestInstallation inst;
    inst.Populate();
    inst.Register();
    ScratchDir elsewhere("linked");
    struct Unlink {
        Unlink() { RemoveFolderLink(OldFixedTempFolder()); }
        ~Unlink() { RemoveFolderLink(OldFixedTempFolder()); }
    } unlink;
    DeleteTree(OldFixedTempFolder());
    if (!MakeFolderLink(OldFixedTempFolder(), elsewhere.Path()))
        GTEST_SKIP() << "no folder links here";

    ChildProcess firstRun(inst.Path("uninstall.exe"), "");
    EXPECT_EQ(ConfirmFirstRun(firstRun, IDYES), 0);
    EXPECT_EQ(AnswerCopy(kSuccess), 0);
    ExpectEverythingRemoved(inst);
    EXPECT_TRUE(WaitOwnTempFoldersGone());
    EXPECT_EQ(CountEntries(elsewhere.Path()), 0);
}

// A temporary folder where nothing can be made: the first run says so and removes nothing.
TEST(TwoRuns, ACopyThatCannotBeMadeIsReported) {
    TempCopyGuard copyGuard;
    TestInstallation inst;
    inst.Populate();
    inst.Register();
    ScratchDir scratch("blocked");
    std::string missing = scratch / "missing";
    ScopedEnvironmentVariable tmp("TMP", missing.c_str());
    ScopedEnvironmentVariable tempVariable("TEMP", missing.c_str());
    ChildProcess firstRun(inst.Path("uninstall.exe"), "");
    HWND box = WaitForBox(WindowsOfProcess(firstRun.Id()), kConfirm);
    ASSERT_TRUE(box);
    PressButton(box, IDYES);
    HWND failed = WaitForBox(WindowsOfProcess(firstRun.Id()), "could not copy itself to \"" + missing);
    EXPECT_TRUE(failed);
    if (failed)
        PressButton(failed, IDOK);
    EXPECT_EQ(firstRun.WaitExit(), 0);
    EXPECT_EQ(CountEntries(scratch.Path()), 0);
    EXPECT_EQ(inst.RemainingFiles().size(), InstalledNames().size());
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}
