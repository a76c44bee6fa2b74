// The install record on a real file system and registry: rollback, commit and
// recovery after a run that ended without either.
#include <gtest/gtest.h>

#include "common/install_recorder.h"
#include "common/product_catalogue.h"
#include "test_fs.h"
#include "test_registry.h"

namespace {
// An installation into <scratch>\Vendor\Product\ over a user's file and a
// registry value of the user's, as a kill, rollback or commit would leave it.
struct Scenario {
    ScratchDir scratch{"rec"};
    ProductKeysGuard keys;
    std::string folder = scratch / "Vendor\\Product\\";
    std::string kept = scratch / "kept.txt";  // there before, replaced by the installation

    Scenario() {
        WriteFileText(kept, "the user's own");
        RegWriteRaw(HKEY_CURRENT_USER, kTestKey, "Kept", REG_SZ, "before", 7);
    }

    void Install(CInstallRecorder& recorder) {
        ASSERT_TRUE(recorder.Begin(HKEY_CURRENT_USER, folder.c_str()));
        ASSERT_TRUE(::CreateDirectoryA((scratch / "Vendor").c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
        ASSERT_TRUE(recorder.Open());
        ASSERT_TRUE(recorder.NoteFile((folder + "Scrivo.exe").c_str()));
        WriteFileText(folder + "Scrivo.exe", "new editor");
        ASSERT_TRUE(recorder.NoteFile(kept.c_str()));
        WriteFileText(kept, "installed over");
        ASSERT_TRUE(recorder.NoteValue(HKEY_CURRENT_USER, kTestKey, "Kept"));
        RegWriteRaw(HKEY_CURRENT_USER, kTestKey, "Kept", REG_SZ, "after", 6);
        ASSERT_TRUE(recorder.NoteValue(HKEY_CURRENT_USER, "Software\\BrellicTests\\New\\Deeper", "Added"));
        RegWriteRaw(HKEY_CURRENT_USER, "Software\\BrellicTests\\New\\Deeper", "Added", REG_DWORD, "\1\0\0\0", 4);
    }

    void ExpectMachineAsBefore() {
        EXPECT_FALSE(DirExists(scratch / "Vendor"));
        EXPECT_EQ(ReadFileText(kept), "the user's own");
        EXPECT_EQ(CountEntries(scratch.Path()), 1);  // nothing moved aside is left
        EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, kTestKey, "Kept"), "before");
        EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Software\\BrellicTests\\New"));
        EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kProductKey));
    }
};
}  // namespace

TEST(InstallRecorder, RollbackAndRecoveryRestoreTheMachine) {
    {
        Scenario s;
        CInstallRecorder recorder;
        s.Install(recorder);
        recorder.Rollback();
        s.ExpectMachineAsBefore();
    }
    {
        Scenario s;
        {
            CInstallRecorder killed;  // ends with neither commit nor rollback, as a killed run does
            s.Install(killed);
        }
        EXPECT_TRUE(CInstallRecorder::RecoverUnfinished(HKEY_CURRENT_USER));
        s.ExpectMachineAsBefore();
        EXPECT_FALSE(CInstallRecorder::RecoverUnfinished(HKEY_CURRENT_USER));
    }
}

TEST(InstallRecorder, CommitKeepsTheInstallationAndListsOnlyWhatItCreated) {
    Scenario s;
    CInstallRecorder recorder;
    s.Install(recorder);
    ASSERT_TRUE(recorder.Commit());
    EXPECT_EQ(ReadFileText(s.kept), "installed over");
    EXPECT_EQ(CountEntries(s.scratch.Path()), 2);  // kept.txt and Vendor: the earlier kept.txt is gone
    EXPECT_FALSE(CInstallRecorder::RecoverUnfinished(HKEY_CURRENT_USER));
    ParsedRecord record = CInstallRecorder::ReadRecord(s.folder.c_str());
    ASSERT_TRUE(record.committed);
    RemovalPlan plan = PlanRemoval(record.entries);
    EXPECT_EQ(plan.files, std::vector<std::string>{s.folder + "Scrivo.exe"});
    EXPECT_EQ(plan.folders, (std::vector<std::string>{s.scratch / "Vendor\\Product", s.scratch / "Vendor"}));

    // A reinstall over it: the editor stays ours, and a rollback brings the first installation back.
    CInstallRecorder again;
    ASSERT_TRUE(again.Begin(HKEY_CURRENT_USER, s.folder.c_str()));
    ASSERT_TRUE(again.Open());
    ASSERT_TRUE(again.NoteFile((s.folder + "Scrivo.exe").c_str()));
    WriteFileText(s.folder + "Scrivo.exe", "newer editor");
    again.Rollback();
    EXPECT_EQ(ReadFileText(s.folder + "Scrivo.exe"), "new editor");
    EXPECT_TRUE(CInstallRecorder::ReadRecord(s.folder.c_str()).committed);
}
