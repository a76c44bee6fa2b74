// Reinstalling into the earlier folder: the offer to keep the installed editor.
#include "engine_fixture.h"
#include "message_box_answerer.h"
#include "setup/engine/copy_rules.h"

namespace {
std::string Question(const std::string& installed) {
    return "There's a previous version(" + installed +
           ") of Brellic Pagewright under the same directory on your computer.\nWould you like to backup it?";
}

class BackupOffer : public EngineTest {
protected:
    std::string dest = scratch / "Pagewright\\";
    // The earlier installation: that editor build as Scrivo.exe in the destination.
    void Installed(const std::string& version, const std::string& source, const std::string& earlierFolder) {
        ::CreateDirectoryA(dest.c_str(), nullptr);
        ASSERT_TRUE(CopyOneFile(TestEditor(version), dest + "Scrivo.exe"));
        Prepare(source, dest, {"Scrivo.ex_", "readme.txt"});
        app.m_strOldSetupPath = earlierFolder.c_str();
    }
};
}  // namespace

TEST_F(BackupOffer, YesKeepsTheOlderEditorBesideTheNewOne) {
    Installed("2.0.0.0", TEST_MEDIA_DIR, dest);
    MessageBoxAnswerer answerer({{"previous version", IDYES}});
    engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(answerer.Seen(), std::vector<std::string>{Question("2.0.0.0")});
    EXPECT_EQ(app.m_bSameDir, 1);
    EXPECT_EQ(VersionOf(dest + "Scrivo(2.0.0.0).exe"), "2.0.0.0");
    EXPECT_EQ(VersionOf(dest + "Scrivo.exe"), kMediaEditorVersion);
    EXPECT_TRUE(FileExists(dest + "readme.txt"));
}

TEST_F(BackupOffer, NoLeavesNoBackupAndAnotherFolderGetsNoOffer) {
    Installed("2.0.0.0", TEST_MEDIA_DIR, dest);
    {
        MessageBoxAnswerer answerer({{"previous version", IDNO}});
        engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(answerer.Seen(), std::vector<std::string>{Question("2.0.0.0")});
    }
    EXPECT_EQ(CountEntries(dest), 2);
    EXPECT_EQ(VersionOf(dest + "Scrivo.exe"), kMediaEditorVersion);

    app.m_bSameDir = 0;  // a new run, whose earlier installation lies elsewhere
    Installed("2.0.0.0", TEST_MEDIA_DIR, scratch / "Elsewhere\\");
    MessageBoxAnswerer answerer;
    engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_EQ(CountEntries(dest), 2);
}

TEST_F(BackupOffer, VersionsCompareAsNumbers) {
    struct Case {
        const char* media;
        const char* installed;
        const char* backup;  // null: no offer
    } cases[] = {
        {"2.0.0.10", "2.0.0.9", "Scrivo(2.0.0.9).exe"},
        {"10.0.0.0", "9.0.0.0", "Scrivo(9.0.0.0).exe"},
        {"2.0.0.0", "none", "Scrivo().exe"},
        {"2.0.0.9", "2.0.0.10", nullptr},
        {"2.0.0.0", "2.0.0.0", nullptr},
        {"none", "2.0.0.0", nullptr},
    };
    for (const Case& c : cases) {
        ScratchDir media("media");
        ASSERT_TRUE(CopyOneFile(TestEditor(c.media), media / "Scrivo.ex_"));
        CopyOneFile(std::string(TEST_MEDIA_DIR) + "\\readme.txt", media / "readme.txt");
        DeleteTree(dest);
        Installed(c.installed, media.Path(), dest);
        MessageBoxAnswerer answerer({{"previous version", IDYES}});
        engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
        std::string what = std::string(c.media) + " over " + c.installed;
        if (c.backup) {
            std::string shown = std::string(c.installed) == "none" ? "" : c.installed;
            EXPECT_EQ(answerer.Seen(), std::vector<std::string>{Question(shown)}) << what;
            EXPECT_TRUE(FileExists(dest + c.backup)) << what;
        } else {
            EXPECT_TRUE(answerer.Seen().empty()) << what;
        }
        EXPECT_EQ(CountEntries(dest), c.backup ? 3 : 2) << what;
        EXPECT_EQ(ReadFileText(dest + "Scrivo.exe"), ReadFileText(media / "Scrivo.ex_")) << what;
    }
}

TEST_F(BackupOffer, BackupThatCannotBeMadeKeepsTheInstalledEditor) {
    Installed("2.0.0.0", TEST_MEDIA_DIR, dest);
    ::CreateDirectoryA((dest + "Scrivo(2.0.0.0).exe").c_str(), nullptr);  // in the way of the backup
    MessageBoxAnswerer answerer({{"previous version", IDYES}, {"could not be installed", IDOK}});
    engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(answerer.Seen(),
              (std::vector<std::string>{Question("2.0.0.0"), UncopiedFilesMessage({"Scrivo.exe"}).str()}));
    EXPECT_EQ(VersionOf(dest + "Scrivo.exe"), "2.0.0.0");
    EXPECT_TRUE(FileExists(dest + "readme.txt"));
}
