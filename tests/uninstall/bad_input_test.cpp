// Folders the removal run must refuse: a message, and nothing deleted.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

#include "common/product_catalogue.h"
#include "installation.h"
#include "test_uninstall_app.h"
#include "unix_link.h"

TEST(BadInput, RefusedFolderGetsAMessageAndNothingIsTouched) {
    struct Case {
        std::string label;
        std::string argument;
        bool recordSetupPath;
        std::string setupPath;  // replaces the installation's when set
        std::string expected;   // fragment of the message
    };
    auto refused = [](const char* reason) { return std::string(reason) + ". Nothing has been removed."; };
    std::vector<Case> cases = {
        {"no argument, no SetupPath", "", false, "", "is not known"},
        {"drive root", "C:\\", true, "", refused("root of a drive")},
        {"drive letter", "C:", true, "", refused("root of a drive")},
        {"Windows folder", WindowsFolderPath(), true, "", refused("of the system or of the user")},
        {"system folder", SystemFolderPath(), true, "", refused("of the system or of the user")},
        {"below the Windows folder", WindowsFolderPath() + "Fonts\\", true, "",
         refused("of the system or of the user")},
        {"temporary folder", TempFolderPath(), true, "", refused("of the system or of the user")},
        {"user profile", ShellFolderPath(CSIDL_PROFILE), true, "", refused("of the system or of the user")},
        {"program files", ShellFolderPath(CSIDL_PROGRAM_FILES), true, "", refused("of the system or of the user")},
        {"desktop", ShellFolderPath(CSIDL_DESKTOPDIRECTORY), true, "", refused("of the system or of the user")},
        {"relative", "Pagewright\\", true, "", refused("not a complete path")},
        {"unbalanced quote", "", true, "", refused("not a plain folder name")},
        {"parent by dots", "", true, "", refused("not a plain folder name")},
        {"SetupPath too long", "", true, "C:\\" + std::string(300, 'x') + "\\", refused("too long")},
        {"SetupPath drive root", "", true, "C:\\", refused("root of a drive")},
        {"SetupPath relative", "", true, "Pagewright", refused("not a complete path")},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.label);
        TestInstallation inst;
        inst.Populate();
        inst.CreateShortcuts();
        if (c.recordSetupPath)
            inst.Register();
        if (!c.setupPath.empty())
            RegWriteRaw(HKEY_LOCAL_MACHINE, kProductKey, "SetupPath", REG_SZ, c.setupPath.c_str(),
                        static_cast<DWORD>(c.setupPath.size() + 1));
        if (c.label == "unbalanced quote")
            c.argument = "\"" + inst.Dir();
        if (c.label == "parent by dots")
            c.argument = inst.Dir() + "x\\..\\";
        ScopedCurrentFolder here(inst.VendorDir());

        TestUninstallApp app(c.argument);
        app.RunRemoval();

        ASSERT_EQ(app.messages.size(), 1u);
        EXPECT_NE(app.messages[0].text.find(c.expected), std::string::npos) << app.messages[0].text;
        EXPECT_EQ(app.messages[0].type, static_cast<UINT>(MB_OK));
        EXPECT_EQ(inst.RemainingFiles().size(), InstalledNames().size());
        EXPECT_TRUE(inst.ShortcutsPresent());
        EXPECT_EQ(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), c.recordSetupPath);
        EXPECT_EQ(app.selfDeletions, 0);
    }
}

TEST(BadInput, QuotedArgumentWithTrailingBlanksNamesTheFolder) {
    TestInstallation inst;
    inst.Populate();
    inst.Register();
    TestUninstallApp app("\"" + inst.Dir() + "\"  \t");
    app.RunRemoval();
    EXPECT_TRUE(app.Said("You have successfully removed Brellic Pagewright."));
    EXPECT_FALSE(DirExists(inst.Dir()));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kProductKey));
}

// A folder that leads elsewhere is judged by where it leads.
TEST(BadInput, InstallationFolderLinkedToASystemFolderIsRefused) {
    TestInstallation inst;
    std::string sentinel = TempFolderPath() + "readme.txt";
    ASSERT_FALSE(FileExists(sentinel));
    WriteFileText(sentinel, "not ours");
    std::string link = inst.VendorDir() + "\\Linked";
    bool linked = MakeFolderLink(link, TempFolderPath().substr(0, TempFolderPath().size() - 1));
    struct Cleanup {
        std::string link, sentinel;
        ~Cleanup() {
            RemoveFolderLink(link);
            ::DeleteFileA(sentinel.c_str());
        }
    } cleanup{link, sentinel};
    if (!linked)
        GTEST_SKIP() << "no folder links here";

    TestUninstallApp app(link + "\\");
    app.RunRemoval();
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_NE(app.messages[0].text.find("of the system or of the user"), std::string::npos) << app.messages[0].text;
    EXPECT_TRUE(FileExists(sentinel));
}
