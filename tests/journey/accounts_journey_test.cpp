// The accounts deployment tools run setup as, chosen through the seamed build
// since Wine runs everything as one administrator: LocalSystem, an
// administrator only through a group, and a standard user. Each installs where
// it should, and the installed uninstaller removes it all again.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "common/shell_folders.h"
#include "journey.h"
#include "test_fs.h"
#include "test_paths.h"

namespace {
std::string ShellFolder(int csidl) {
    return GetSpecialFolderPath(csidl).str();
}

std::string PublicDesktopLink() {
    return ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\Brellic Pagewright.lnk";
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
