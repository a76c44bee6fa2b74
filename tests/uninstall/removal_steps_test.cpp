// The removal run's steps in-process, on a test installation: files and
// backups, the folder walk, the registry trees.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>

#include "common/admin_check.h"
#include "common/install_recorder.h"
#include "common/product_catalogue.h"
#include "common/shell_folders.h"
#include "installation.h"
#include "test_app.h"
#include "test_uninstall_app.h"
#include "unix_link.h"

namespace {
HKEY ChosenRoot() {
    CString user;
    return GetCurrentUserName(user) && IsAdmin(user) ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

void WriteText(HKEY root, const std::string& key, const char* name, const char* value) {
    RegWriteRaw(root, key.c_str(), name, REG_SZ, value, static_cast<DWORD>(std::strlen(value) + 1));
}

// A key with a default value and a named one.
void KeyWithValues(HKEY root, const std::string& key) {
    WriteText(root, key, "", "default");
    WriteText(root, key, "Named", "value");
}

DWORD WINAPI Windows98Version() {
    return 0xC0000A04;
}

const char kParentKey[] = "Software\\Brellic Software";
const std::string kProduct = kProductKey;
}  // namespace

TEST(FileRemoval, BackupsGoOnlyWithTheOneYes) {
    for (int answer : {IDYES, IDNO}) {
        SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
        TestInstallation inst;
        inst.Populate();
        for (const char* backup : {"Scrivo(1.0.0.1).exe", "Scrivo(1.0.0.2).exe", "scrivo(1.0).exe"})
            WriteFileText(inst.Path(backup), "old editor");
        ::CreateDirectoryA(inst.Path("Scrivo(3.0).exe").c_str(), nullptr);
        ::SetFileAttributesA(inst.Path("readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        ::DeleteFileA(inst.Path("preview3.dll").c_str());

        TestUninstallApp app(inst.Dir());
        app.backupAnswer = answer;
        app.RunRemoval();

        int questions = 0;
        for (const auto& m : app.messages)
            if (m.text == "Would you like to uninstall the backup version of Brellic Pagewright?") {
                ++questions;
                EXPECT_EQ(m.type, static_cast<UINT>(MB_YESNO | MB_SYSTEMMODAL | MB_SETFOREGROUND));
            }
        EXPECT_EQ(questions, 1);
        EXPECT_TRUE(inst.RemainingFiles().empty());
        EXPECT_EQ(FileExists(inst.Path("Scrivo(1.0.0.1).exe")), answer != IDYES);
        EXPECT_EQ(FileExists(inst.Path("Scrivo(1.0.0.2).exe")), answer != IDYES);
        EXPECT_TRUE(FileExists(inst.Path("scrivo(1.0).exe")));
        EXPECT_TRUE(DirExists(inst.Path("Scrivo(3.0).exe")));
        EXPECT_TRUE(DirExists(inst.Dir()));
        EXPECT_TRUE(app.Said("You have successfully removed Brellic Pagewright."));
        EXPECT_EQ(app.selfDeletions, 1);
    }
}

TEST(FileRemoval, EmptiedFoldersGoUpwardUntilOneIsNotEmpty) {
    TestInstallation inst;
    inst.Populate();
    TestUninstallApp app(inst.Dir());
    app.RunRemoval();
    EXPECT_FALSE(DirExists(inst.Dir()));
    EXPECT_FALSE(DirExists(inst.VendorDir()));
    EXPECT_TRUE(DirExists(inst.Scratch().Path()));  // holds a file of its own
}

TEST(FileRemoval, AUsersOwnFileKeepsTheFolderAndItsParents) {
    TestInstallation inst;
    inst.Populate();
    WriteFileText(inst.Path("my notes.txt"), "mine");
    TestUninstallApp app(inst.Dir());
    app.RunRemoval();
    EXPECT_TRUE(inst.RemainingFiles().empty());
    EXPECT_TRUE(FileExists(inst.Path("my notes.txt")));
    EXPECT_TRUE(DirExists(inst.VendorDir()));
}

TEST(FileRemoval, MoreBackupsThanTheListsFirstHundredAreAllRemoved) {
    TestInstallation inst;
    inst.Populate();
    for (int i = 0; i < 120; ++i)
        WriteFileText(inst.Path("Scrivo(1.0.0." + std::to_string(i) + ").exe"), "old");
    TestUninstallApp app(inst.Dir());
    app.RunRemoval();
    EXPECT_EQ(app.m_nFileCount, static_cast<int>(InstalledNames().size()) + 120);
    EXPECT_EQ(app.messages.size(), 2u);  // one question, one success
    EXPECT_FALSE(DirExists(inst.Dir()));
}

// "C:\App" names the folder C:\App\: neither "C:\AppScrivo.exe" nor the files of C:\ are meant.
TEST(FileRemoval, FolderWithoutTrailingBackslashIsTheFolderItself) {
    for (bool fromSetupPath : {false, true}) {
        SCOPED_TRACE(fromSetupPath ? "SetupPath" : "argument");
        TestInstallation inst;
        inst.Populate();
        std::string glued = inst.VendorDir() + "\\PagewrightScrivo.exe";
        std::string parentsOwn = inst.VendorDir() + "\\readme.txt";
        WriteFileText(glued, "not ours");
        WriteFileText(parentsOwn, "not ours");
        std::string folder = inst.Dir().substr(0, inst.Dir().size() - 1);
        if (fromSetupPath)
            RegWriteRaw(ChosenRoot(), kProductKey, "SetupPath", REG_SZ, folder.c_str(),
                        static_cast<DWORD>(folder.size() + 1));
        TestUninstallApp app(fromSetupPath ? "" : folder);
        app.RunRemoval();
        EXPECT_TRUE(inst.RemainingFiles().empty());
        EXPECT_TRUE(FileExists(glued));
        EXPECT_TRUE(FileExists(parentsOwn));
        EXPECT_FALSE(DirExists(inst.Dir()));
    }
}

// From an install record: every recorded file is found under a short form of
// the folder too, and a recorded name that climbs out of the folder is never taken.
TEST(FileRemoval, RecordedFilesAreFoundUnderAnyFormOfTheFolderAndNothingOutsideIt) {
    for (bool shortForm : {false, true}) {
        SCOPED_TRACE(shortForm ? "short form" : "as recorded");
        TestInstallation inst;
        std::string outside = inst.Scratch() / "thesis.doc";
        {
            CInstallRecorder recorder;
            ASSERT_TRUE(recorder.Begin(HKEY_CURRENT_USER, inst.Dir().c_str()));
            ASSERT_TRUE(recorder.Open());
            std::vector<CString> paths;
            for (const std::string& name : InstalledNames())
                paths.push_back(inst.Path(name).c_str());
            paths.push_back(inst.Path("x/../../../thesis.doc").c_str());
            ASSERT_TRUE(recorder.NoteNewFiles(paths));
            inst.Populate();
            ASSERT_TRUE(recorder.Commit());
        }
        WriteFileText(outside, "the user's");
        std::string folder = inst.Dir();
        if (shortForm) {
            char shortName[MAX_PATH] = {};
            ASSERT_TRUE(::GetShortPathNameA(inst.Dir().c_str(), shortName, MAX_PATH));
            folder = shortName;
            ASSERT_NE(folder, inst.Dir());
        }

        TestUninstallApp app(folder);
        app.RunRemoval();
        EXPECT_TRUE(inst.RemainingFiles().empty());
        EXPECT_EQ(ReadFileText(outside), "the user's");
    }
}

// Wine reports a running executable as access denied; a file held open without
// sharing gives a sharing violation, which means in use just the same.
TEST(FileRemoval, EditorHeldWithoutSharingCountsAsInUse) {
    TestInstallation inst;
    inst.Populate();
    inst.Register();
    inst.CreateShortcuts();
    HANDLE held = ::CreateFileA(inst.Path("Scrivo.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    TestUninstallApp app(inst.Dir());
    app.RunRemoval();
    ::CloseHandle(held);
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, "Brellic Pagewright is being used, please exit and retry.");
    EXPECT_EQ(inst.RemainingFiles().size(), InstalledNames().size());
    EXPECT_TRUE(inst.ShortcutsPresent());
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_EQ(app.selfDeletions, 0);
}

// A file that stays keeps the product installed and listed, so that a second
// run, once the file is free, removes the rest.
TEST(FileRemoval, AHeldFileStopsTheRemovalBeforeTheRegistryAndASecondRunFinishes) {
    TestInstallation inst;
    inst.Populate();
    inst.Register();
    inst.CreateShortcuts();
    HANDLE held = ::CreateFileA(inst.Path("readme.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    {
        TestUninstallApp app(inst.Dir());
        app.RunRemoval();
        ::CloseHandle(held);
        ASSERT_EQ(app.messages.size(), 1u);
        EXPECT_NE(app.messages[0].text.find(inst.Path("readme.txt")), std::string::npos) << app.messages[0].text;
        EXPECT_EQ(inst.RemainingFiles(), (std::vector<std::string>{"uninstall.exe", "readme.txt"}));
        EXPECT_EQ(RegReadText(ChosenRoot(), kProductKey, "SetupPath"), inst.Dir());
        EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        EXPECT_EQ(app.selfDeletions, 0);
    }
    TestUninstallApp again(inst.Dir());
    again.RunRemoval();
    EXPECT_TRUE(again.Said("You have successfully removed Brellic Pagewright."));
    EXPECT_FALSE(DirExists(inst.Dir()));
    EXPECT_TRUE(inst.ShortcutsGone());
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kProductKey));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

// A folder-moving tool leaves a link where the vendor's folder was; removing
// the link would lose the way to everything the vendor keeps there.
TEST(FileRemoval, ALinkedFolderAboveTheInstallationStays) {
    TestInstallation inst;
    ScratchDir moved("moved");
    std::string target = moved / "Brellic Software";
    ::CreateDirectoryA(target.c_str(), nullptr);
    std::string link = inst.Scratch() / "Linked Software";
    if (!MakeFolderLink(link, target))
        GTEST_SKIP() << "no folder links here";
    struct Cleanup {
        std::string link;
        ~Cleanup() { RemoveFolderLink(link); }
    } cleanup{link};
    std::string dir = link + "\\Pagewright\\";
    ASSERT_TRUE(::CreateDirectoryA(dir.c_str(), nullptr));
    for (const std::string& name : InstalledNames())
        WriteFileText(dir + name, "installed");
    TestUninstallApp app(dir);
    app.RunRemoval();
    EXPECT_TRUE(app.Said("You have successfully removed Brellic Pagewright."));
    EXPECT_FALSE(DirExists(dir));
    EXPECT_TRUE(IsFolderLink(link));
    EXPECT_TRUE(DirExists(target));
}

// The folder walk stops at the system's and the user's folders even when they are empty.
TEST(FileRemoval, EmptySystemFolderAboveTheInstallationStays) {
    std::string documents = std::string(GetSpecialFolderPath(CSIDL_COMMON_DOCUMENTS).c_str());
    ASSERT_FALSE(documents.empty());
    if (CountEntries(documents) != 0)
        GTEST_SKIP() << documents << " is not empty here";
    std::string dir = documents + "\\Pagewright\\";
    ::CreateDirectoryA(dir.c_str(), nullptr);
    WriteFileText(dir + "Scrivo.exe", "editor");
    TestUninstallApp app(dir);
    app.RunRemoval();
    EXPECT_FALSE(DirExists(dir));
    EXPECT_TRUE(DirExists(documents));
    DeleteTree(dir);
}

TEST(Shortcuts, TheLegacyLinkIsNotTheUninstallersToRemove) {
    TestInstallation inst;
    inst.CreateShortcuts();
    std::string legacy = GroupFolder() + "\\Pagewright.lnk";
    WriteFileText(legacy, "link of an old version");
    TestUninstallApp app;
    app.RemoveShortcuts();
    for (const std::string& link : GroupLinks())
        EXPECT_FALSE(FileExists(link)) << link;
    EXPECT_FALSE(FileExists(DesktopLink()));
    EXPECT_TRUE(FileExists(legacy));
}

TEST(RegistryCleanup, NestedProductKeyGoesBottomUpUnderBothRootsAndTheParentStays) {
    ProductKeysGuard keys;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        KeyWithValues(root, kProduct);
        KeyWithValues(root, kProduct + "\\A");
        KeyWithValues(root, kProduct + "\\A\\B");
        KeyWithValues(root, kProduct + "\\C");
        KeyWithValues(root, kUninstallKey);
        KeyWithValues(root, std::string(kParentKey) + "\\Other");
    }
    TestUninstallApp app;
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "first run" : "second run");
        app.CleanRegistry();
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            EXPECT_FALSE(RegKeyExists(root, kProductKey));
            EXPECT_FALSE(RegKeyExists(root, kUninstallKey));
            EXPECT_TRUE(RegKeyExists(root, kParentKey));
            EXPECT_EQ(RegReadText(root, (std::string(kParentKey) + "\\Other").c_str(), "Named"), "value");
        }
    }
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        RegDeleteTreeAll(root, (std::string(kParentKey) + "\\Other").c_str());
}

// Names outside the ANSI code page, and longer in bytes than in characters.
TEST(RegistryCleanup, SubKeysAndValuesNamedInChineseGoToo) {
    ProductKeysGuard keys;
    std::wstring product(kProductKey, kProductKey + std::strlen(kProductKey));
    std::wstring chinese = L"\x6587\x6863\x8bbe\x7f6e";  // four characters, twelve bytes in UTF-8
    std::wstring path = product + L"\\" + chinese + L"\\" + std::wstring(60, L'\x5b57');
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, chinese.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4);
    ::RegCloseKey(key);
    TestUninstallApp app;
    app.CleanRegistry();
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kProductKey));
}

TEST(RegistryCleanup, Windows95FamilyDeletesEachKeyWithOneCall) {
    ProductKeysGuard keys;
    SystemSeamGuard seam;
    g_system.getVersion = Windows98Version;
    KeyWithValues(HKEY_CURRENT_USER, kProduct);
    KeyWithValues(HKEY_LOCAL_MACHINE, kProduct);
    KeyWithValues(HKEY_LOCAL_MACHINE, kProduct + "\\A");
    TestUninstallApp app;
    app.CleanRegistry();
    // A key without sub-keys goes with its values in that one call.
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kProductKey));
    // The system here only deletes keys without sub-keys, and there is no walk
    // on this family: the tree stays as it was, values included.
    EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, (kProduct + "\\A").c_str(), "Named"), "value");
    EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, kProductKey, "Named"), "value");
}

// A removal of the all-users installation leaves a killed per-user
// installation's record to the next setup under that user's root: the record
// lies where that user may write, and is not this run's to follow.
TEST(RemovalSteps, AnotherRootsUnfinishedRecordIsLeftToItsOwnSetup) {
    TestInstallation inst;
    inst.Populate();
    inst.Register(HKEY_LOCAL_MACHINE);
    ScratchDir theirs("theirs");
    std::string folder = theirs / "Pagewright\\";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    {
        CInstallRecorder killed;  // ends with neither commit nor rollback
        ASSERT_TRUE(killed.Begin(HKEY_CURRENT_USER, folder.c_str()));
        ASSERT_TRUE(killed.Open());
        ASSERT_TRUE(killed.NoteFile((folder + "Scrivo.exe").c_str()));
        ASSERT_TRUE(WriteFileText(folder + "Scrivo.exe", "made by the killed run"));
    }

    TestUninstallApp app(inst.Dir());
    app.RunRemoval();
    EXPECT_TRUE(app.Said("You have successfully removed Brellic Pagewright."));
    EXPECT_TRUE(inst.RemainingFiles().empty());
    EXPECT_EQ(ReadFileText(folder + "Scrivo.exe"), "made by the killed run");
    DWORD type = 0;
    std::vector<unsigned char> data;
    EXPECT_TRUE(RegReadRaw(HKEY_CURRENT_USER, kProductKey, kPendingRecordValue, &type, &data));

    EXPECT_TRUE(CInstallRecorder::RecoverUnfinished(HKEY_CURRENT_USER));
    EXPECT_FALSE(FileExists(folder + "Scrivo.exe"));
}
