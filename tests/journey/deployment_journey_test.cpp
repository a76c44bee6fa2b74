// How deployment tools meet the editor: the accounts they run setup as
// (chosen through the seamed build, since Wine runs everything as one
// administrator), and installations for all users and for one user side by side.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <map>
#include <utility>

#include "common/shell_folders.h"
#include "journey.h"
#include "test_fs.h"
#include "test_paths.h"
#include "uninstall/uninstall_rules.h"

namespace {
std::string ShellFolder(int csidl) {
    return GetSpecialFolderPath(csidl).str();
}

std::string PublicDesktopLink() {
    return ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\Brellic Pagewright.lnk";
}

DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    return pid;
}

// Setup waits for the editor's window before it ends; a window is given a moment more.
bool EditorWindowShown(int timeoutMs) {
    return WaitFor(
               [] {
                   HWND editor = ::FindWindowA(nullptr, kEditorWindowTitle);
                   return editor ? std::vector<HWND>{editor} : std::vector<HWND>{};
               },
               [](HWND) { return true; }, timeoutMs) != nullptr;
}
}  // namespace

TEST_F(Journey, DeploymentAccountsInstallWhereTheyShouldAndRemoveCleanly) {
    const std::string perUserFolder = ShellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Brellic Software\\Pagewright";
    struct Row {
        const char* label;
        const char* env;
        bool allUsers;
        bool publicDesktop;
        bool editorStarts;
    } rows[] = {
        // /CURRENTUSER too: LocalSystem has no user of its own to install for.
        {"LocalSystem", "BRELLIC_TEST_ACCOUNT=system", true, true, false},
        {"administrator through a group", "BRELLIC_TEST_ACCOUNT=domain-admin", true, false, true},
        {"standard user", "BRELLIC_TEST_NOT_ADMIN=1", false, false, true},
    };
    std::string seamed = media.Path() + "\\setup-seamed.exe";
    ASSERT_TRUE(CopyOneFile(SeamedSetupPath(), seamed));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        std::string log = media / "accounts.log";
        std::string args = std::string("/S /RUN /LOG=\"") + log + "\"";
        if (row.publicDesktop)
            args += " /CURRENTUSER";
        ChildProcess setup(seamed, args, "", {row.env});
        ASSERT_EQ(setup.WaitExit(60000), 0) << ReadFileText(log);

        std::string folder = row.allUsers ? kDefaultFolder : perUserFolder;
        EXPECT_TRUE(FileExists(folder + "\\Scrivo.exe"));
        HKEY root = row.allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        HKEY other = row.allUsers ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        EXPECT_EQ(RegReadText(root, kProductKey, kSetupPathValue), folder + "\\");
        EXPECT_EQ(RegReadText(other, kProductKey, kSetupPathValue), "<absent>");
        std::string group = ShellFolder(row.allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS) + "\\Brellic Pagewright";
        EXPECT_TRUE(FileExists(group + "\\Brellic Pagewright.lnk"));
        EXPECT_EQ(FileExists(PublicDesktopLink()), row.publicDesktop);
        EXPECT_EQ(FileExists(ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\Brellic Pagewright.lnk"), !row.publicDesktop);
        EXPECT_EQ(EditorWindowShown(row.editorStarts ? 3000 : 0), row.editorStarts);
        std::string written = ReadFileText(log);
        EXPECT_EQ(written.find("account: LocalSystem") != std::string::npos, row.publicDesktop) << written;
        if (!row.editorStarts) {
            EXPECT_NE(written.find("the editor is not started"), std::string::npos) << written;
        }
        CloseEditors();

        ChildProcess removal(folder + "\\uninstall.exe", "/S");
        EXPECT_EQ(removal.WaitExit(60000), 0);
        EXPECT_FALSE(DirExists(folder));
        EXPECT_FALSE(DirExists(group));
        EXPECT_FALSE(FileExists(PublicDesktopLink()));
        EXPECT_EQ(RegReadText(root, kProductKey, kSetupPathValue), "<absent>");
        EXPECT_FALSE(RegKeyExists(root, kUninstallKey));
        EXPECT_TRUE(WaitOwnTempFoldersGone());
        CleanMachine();
    }
}

namespace {
// Everything of one installation a person or a tool could see: its files,
// its values under its root, its group's links and the desktop link.
std::map<std::string, std::string> StateOf(const std::string& folder, HKEY root) {
    std::map<std::string, std::string> state;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                state[found.cFileName] = ReadFileText(folder + "\\" + found.cFileName);
        while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    for (const char* name : {"SetupPath", "version"})
        state[std::string("product ") + name] = RegReadText(root, kProductKey, name);
    for (const char* name : {"UninstallString", "QuietUninstallString", "InstallLocation", "DisplayVersion"})
        state[std::string("entry ") + name] = RegReadText(root, kUninstallKey, name);
    std::string group = ShellFolder(root == HKEY_LOCAL_MACHINE ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS) +
                        "\\Brellic Pagewright\\Brellic Pagewright.lnk";
    state["group link"] = FileExists(group) ? ReadFileText(group) : "<absent>";
    std::string desktop = ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\Brellic Pagewright.lnk";
    state["desktop link"] = FileExists(desktop) ? ReadFileText(desktop) : "<absent>";
    return state;
}
}  // namespace

// An installation for all users and one for this user stand side by side, in
// either order; removing the older one leaves the newer one exactly as it was
// (its desktop link included, which the newer one made), and then the newer
// one removes cleanly.
TEST_F(Journey, InstallationsSideBySideAreRemovedOneWithoutTheOther) {
    const std::string perUser = ShellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Brellic Software\\Pagewright";
    struct Installation {
        const char* scope;
        std::string folder;
        HKEY root;
    };
    const Installation forAll{"/ALLUSERS", kDefaultFolder, HKEY_LOCAL_MACHINE};
    const Installation forMe{"/CURRENTUSER", perUser, HKEY_CURRENT_USER};
    for (const auto& [older, newer] : {std::pair{forMe, forAll}, std::pair{forAll, forMe}}) {
        SCOPED_TRACE(std::string(older.scope) + " then " + newer.scope);
        std::string log = media / "beside.log";
        ChildProcess first(media / "setup.exe", std::string("/S ") + older.scope);
        ASSERT_EQ(first.WaitExit(60000), 0);
        ChildProcess second(media / "setup.exe", std::string("/S ") + newer.scope + " /LOG=\"" + log + "\"");
        ASSERT_EQ(second.WaitExit(60000), 0);
        EXPECT_NE(ReadFileText(log).find("stays beside this one, in " + older.folder + "\\"), std::string::npos)
            << ReadFileText(log);
        std::map<std::string, std::string> kept = StateOf(newer.folder, newer.root);
        ASSERT_NE(kept["desktop link"], "<absent>");

        ChildProcess removal(older.folder + "\\uninstall.exe", "/S");
        EXPECT_EQ(removal.WaitExit(60000), 0);
        EXPECT_FALSE(DirExists(older.folder));
        EXPECT_EQ(RegReadText(older.root, kProductKey, kSetupPathValue), "<absent>");
        EXPECT_FALSE(RegKeyExists(older.root, kUninstallKey));
        EXPECT_TRUE(StateOf(newer.folder, newer.root) == kept) << "the newer installation changed";
        EXPECT_TRUE(WaitOwnTempFoldersGone());

        ChildProcess last(newer.folder + "\\uninstall.exe", "/S");
        EXPECT_EQ(last.WaitExit(60000), 0);
        EXPECT_FALSE(DirExists(newer.folder));
        EXPECT_FALSE(RegKeyExists(newer.root, kUninstallKey));
        EXPECT_EQ(StateOf(newer.folder, newer.root)["desktop link"], "<absent>");
        EXPECT_TRUE(WaitOwnTempFoldersGone());
        CleanMachine();
    }
}

// An administrator whose token is a limited one: setup and the uninstaller
// start an elevated copy for the all-users installation, and never for one
// user's. The copy is the process that shows the windows.
TEST_F(Journey, LimitedAdministratorIsAskedToElevateOnlyForAllUsers) {
    std::string seamed = media.Path() + "\\setup-seamed.exe";
    ASSERT_TRUE(CopyOneFile(SeamedSetupPath(), seamed));
    for (bool allUsers : {false, true}) {
        SCOPED_TRACE(allUsers ? "all users" : "this user only");
        std::string log = media / "limited.log";
        ChildProcess setup(seamed,
                           std::string(allUsers ? "/passive" : "/passive /CURRENTUSER") + " /LOG=\"" + log + "\"", "",
                           {"BRELLIC_TEST_LIMITED_ADMIN=1", "BRELLIC_TEST_COPY_PAUSE_MS=200"});
        HWND progress = WaitFor(
            WindowsOfAllProcesses(), [](HWND w) { return PageOf(w) == Page::Progress; }, 30000);
        ASSERT_NE(progress, nullptr) << setup.State();
        EXPECT_EQ(ProcessOf(progress) != setup.Id(), allUsers);
        ASSERT_EQ(setup.WaitExit(60000), 0) << ReadFileText(log);
        HKEY root = allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        std::string folder = RegReadText(root, kProductKey, kSetupPathValue);
        ASSERT_TRUE(FileExists(folder + "uninstall.exe")) << folder;

        ASSERT_TRUE(CopyOneFile(TEST_DATA_DIR "\\uninstall_seamed.exe", folder + "uninstall.exe"));
        ChildProcess removal(folder + "uninstall.exe", "", "", {"BRELLIC_TEST_LIMITED_ADMIN=1"});
        HWND question = WaitForBox(WindowsOfAllProcesses(), kConfirmText);
        ASSERT_NE(question, nullptr) << removal.State();
        EXPECT_EQ(ProcessOf(question) != removal.Id(), allUsers);
        EXPECT_TRUE(Answer(question, IDNO));
        EXPECT_EQ(removal.WaitExit(), 0);
        EXPECT_TRUE(FileExists(folder + "Scrivo.exe"));
        CleanMachine();
    }
}
