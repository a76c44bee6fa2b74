// The Start-menu group and the desktop link, read back through the shell.
#include <objbase.h>
#include <shlobj.h>

#include <cstdlib>
#include "common/install_recorder.h"
#include "common/shell_folders.h"
#include "common/shortcut_removal.h"
#include "engine_fixture.h"
#include "message_box_answerer.h"
#include "test_places.h"
#include "test_registry.h"

namespace {
struct LinkFacts {
    std::string target;
    std::string description;
};

LinkFacts ReadLink(const std::string& path) {
    LinkFacts facts{"<unreadable>", ""};
    IShellLinkA* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link))))
        return facts;
    IPersistFile* file = nullptr;
    wchar_t wide[MAX_PATH * 2];
    ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 2);
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(wide, STGM_READ))) {
        char text[MAX_PATH * 2] = {};
        link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
        facts.target = text;
        text[0] = '\0';
        link->GetDescription(text, sizeof text);
        facts.description = text;
    }
    if (file)
        file->Release();
    link->Release();
    return facts;
}

std::string LinkLines(const std::string& file, const std::string& folder, const std::string& name) {
    return "start CreateShortCut(" + file + ", " + folder + ", " + name +
           ");\r\nCoCreateInstance return value: pShellLink = 0xADDR, hres = 0);\r\n"
           "QueryInterface return value: pPf = 0xADDR\r\nsave link: sz = " +
           folder + "\\" + name + ".lnk \r\nexit CreateShortCut\r\n";
}

class Shortcuts : public EngineTest {
protected:
    std::string group = GroupFolder();
    std::string desktopLink = DesktopLink();
    void SetUp() override {
        ::CoInitialize(nullptr);
        DeleteTree(group);
        DeleteTree(desktopLink);
        app.m_strInstallDir = "C:\\Program Files\\Brellic Software\\Pagewright\\";
    }
    void TearDown() override {
        DeleteTree(group);
        DeleteTree(desktopLink);
    }
    void ExpectLink(const std::string& link, const std::string& target) {
        LinkFacts facts = ReadLink(link);
        EXPECT_EQ(facts.target, target) << link;
        EXPECT_EQ(facts.description, "shortcut Brellic Pagewright") << link;
    }
};
}  // namespace

TEST_F(Shortcuts, GroupHoldsEditorAndUninstallerOnlyWithoutReaderAndManual) {
    ASSERT_FALSE(GetProgramsFolder().IsEmpty());
    app.m_pCopyList.assign(kEveryMediaFile.begin(), kEveryMediaFile.begin() + 6);
    app.m_nCopyCount = 6;
    MessageBoxAnswerer answerer;
    engine.AddTpStartMenu();
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_EQ(CountEntries(group), 2);
    ExpectLink(group + "\\Brellic Pagewright.lnk", "C:\\Program Files\\Brellic Software\\Pagewright\\Scrivo.exe");
    ExpectLink(group + "\\Uninstall.lnk", "C:\\Program Files\\Brellic Software\\Pagewright\\uninstall.exe");
    std::string log = WithoutAddresses(Log());
    std::string links = LinkLines("Scrivo.exe", group, "Brellic Pagewright") +
                        LinkLines("uninstall.exe", group, "Uninstall") + "exit AddTpStartMenu()\r\n";
    ASSERT_GE(log.size(), links.size());
    EXPECT_EQ(log.substr(0, 20), "start MyCreatePath(" + group.substr(0, 1));
    EXPECT_EQ(log.substr(log.size() - links.size()), links);
}

TEST_F(Shortcuts, GroupGetsReaderAndManualWhenTheyAreInstalled) {
    app.m_pCopyList = kEveryMediaFile;
    app.m_nCopyCount = static_cast<int>(kEveryMediaFile.size());
    engine.AddTpStartMenu();
    EXPECT_EQ(CountEntries(group), 4);
    ExpectLink(group + "\\Brellic Leafview.lnk", "C:\\Program Files\\Brellic Software\\Pagewright\\leafview.exe");
    ExpectLink(group + "\\Brellic Pagewright User Manual.lnk",
               "C:\\Program Files\\Brellic Software\\Pagewright\\scrivoguide.pdf");
}

TEST_F(Shortcuts, DesktopLinkPointsAtTheEditor) {
    EXPECT_TRUE(engine.CreateDesktopShortCut());
    ExpectLink(desktopLink, "C:\\Program Files\\Brellic Software\\Pagewright\\Scrivo.exe");
    std::string desktop = GetDesktopFolder().str();
    EXPECT_EQ(WithoutAddresses(Log()),
              "start CreateDesktopShortCut()\r\nSHGetSpecialFolderLocation(NULL, CSIDL_DESKTOPDIRECTORY, 0xADDR)\r\n"
              "SHGetPathFromIDList(0xADDR, )\r\n" +
                  LinkLines("Scrivo.exe", desktop, "Brellic Pagewright") + "exit CreateDesktopShortCut()\r\n");
}

TEST_F(Shortcuts, RemovalTakesLegacyLinkAndGroupButKeepsAForeignFile) {
    app.m_pCopyList = kEveryMediaFile;
    app.m_nCopyCount = static_cast<int>(kEveryMediaFile.size());
    engine.AddTpStartMenu();
    engine.CreateDesktopShortCut();
    ASSERT_TRUE(CopyOneFile(group + "\\Uninstall.lnk", group + "\\Pagewright.lnk"));  // left by an old version
    engine.RemoveShortcuts();
    EXPECT_FALSE(DirExists(group));
    EXPECT_FALSE(FileExists(desktopLink));

    engine.AddTpStartMenu();
    ASSERT_TRUE(WriteFileText(group + "\\notes.txt", "mine"));
    engine.RemoveShortcuts();
    EXPECT_EQ(CountEntries(group), 1);
    EXPECT_EQ(ReadFileText(group + "\\notes.txt"), "mine");
}

// With an install record that cannot be written (its file never opened, as on
// a full disk), no change goes ahead that a rollback could not take back.
TEST_F(Shortcuts, NothingChangesThatTheRecordCannotNote) {
    ProductKeysGuard keys;
    app.m_pCopyList = kEveryMediaFile;
    app.m_nCopyCount = static_cast<int>(kEveryMediaFile.size());
    engine.AddTpStartMenu();
    engine.CreateDesktopShortCut();
    CInstallRecorder unwritable;
    unwritable.Begin(HKEY_CURRENT_USER, (scratch / "dest\\").c_str());
    engine.SetRecorder(&unwritable);
    app.m_hRootKey = HKEY_CURRENT_USER;
    EXPECT_FALSE(engine.ChangeLeftOut());

    engine.RemoveShortcuts();
    engine.AddTpStartMenu();
    engine.WriteReg();
    EXPECT_TRUE(engine.ChangeLeftOut());
    EXPECT_EQ(CountEntries(group), 4) << "the earlier links stay";
    EXPECT_TRUE(FileExists(desktopLink));
    EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, kProductKey, kSetupPathValue), "<absent>");
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kUninstallKey));
    unwritable.Rollback();
}

// Links for the independent reader run by engine_lnkinfo; skipped unless that check asks for them.
TEST_F(Shortcuts, ExportForTheIndependentReader) {
    const char* folder = std::getenv("BRELLIC_LINK_EXPORT");
    if (!folder)
        GTEST_SKIP() << "run by the engine_lnkinfo check";
    engine.CreateShortCut("Scrivo.exe", folder, "Brellic Pagewright");
    engine.CreateShortCut("scrivoguide.pdf", folder, "Brellic Pagewright User Manual");
    EXPECT_TRUE(FileExists(std::string(folder) + "\\Brellic Pagewright.lnk"));
}
