// The install record on a real file system and registry: rollback, commit and
// recovery after a run that ended without either.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "common/install_recorder.h"
#include "common/product_catalogue.h"
#include "common/shell_folders.h"
#include "test_fs.h"
#include "test_registry.h"

namespace {
// An installation into <scratch>\Vendor\Product\ over a desktop link and a
// registry value of the user's, as a kill, rollback or commit would leave it.
struct Scenario {
    ScratchDir scratch{"rec"};
    ProductKeysGuard keys;
    std::string folder = scratch / "Vendor\\Product\\";
    std::string desktop = GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY).str();
    std::string kept = desktop + "\\Brellic Pagewright.lnk";  // there before, replaced by the installation

    Scenario() {
        WriteFileText(kept, "the user's own");
        RegWriteRaw(HKEY_CURRENT_USER, kProductKey, "Kept", REG_SZ, "before", 7);
    }
    ~Scenario() { ::DeleteFileA(kept.c_str()); }

    void Install(CInstallRecorder& recorder) {
        ASSERT_TRUE(recorder.Begin(HKEY_CURRENT_USER, folder.c_str()));
        ASSERT_TRUE(::CreateDirectoryA((scratch / "Vendor").c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
        ASSERT_TRUE(recorder.Open());
        ASSERT_TRUE(recorder.NoteFile((folder + "Scrivo.exe").c_str()));
        WriteFileText(folder + "Scrivo.exe", "new editor");
        ASSERT_TRUE(recorder.NoteFile(kept.c_str()));
        WriteFileText(kept, "installed over");
        ASSERT_TRUE(recorder.NoteValue(HKEY_CURRENT_USER, kProductKey, "Kept"));
        RegWriteRaw(HKEY_CURRENT_USER, kProductKey, "Kept", REG_SZ, "after", 6);
        ASSERT_TRUE(recorder.NoteValue(HKEY_CURRENT_USER, kUninstallKey, "Added"));
        RegWriteRaw(HKEY_CURRENT_USER, kUninstallKey, "Added", REG_DWORD, "\1\0\0\0", 4);
    }

    void ExpectMachineAsBefore() {
        EXPECT_FALSE(DirExists(scratch / "Vendor"));
        EXPECT_EQ(ReadFileText(kept), "the user's own");
        EXPECT_EQ(CountEntries(scratch.Path()), 0);
        EXPECT_EQ(CountEntries(desktop), 1);  // nothing moved aside is left
        EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, kProductKey, "Kept"), "before");
        EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kUninstallKey));
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
        // The folder may be open to its users: entries added to the record that
        // setup would never note name things that are not the installation's.
        ScratchDir others("others");
        std::string theirs = others / "thesis.doc";
        WriteFileText(theirs, "theirs");
        WriteFileText(others / "notes.txt.pw-old", "planted");
        RegWriteRaw(HKEY_CURRENT_USER, kTestKey, "Theirs", REG_SZ, "theirs", 7);
        // A link's name or a folder's outside the places setup puts them.
        std::string theirLink = others / "Brellic Pagewright.lnk";
        WriteFileText(theirLink, "their link");
        ::CreateDirectoryA((others / "empty").c_str(), nullptr);
        RecordEntry link, madeFolder, removedFolder;
        link.path = theirLink;
        madeFolder.kind = RecordKind::FolderCreated;
        madeFolder.path = others / "empty";
        removedFolder.kind = RecordKind::FolderRemoved;
        removedFolder.path = others / "Brellic Pagewright";
        RecordEntry created, replaced, value;
        created.path = theirs;
        replaced.kind = RecordKind::FileReplaced;
        replaced.path = others / "notes.txt";
        replaced.aside = others / "notes.txt.pw-old";
        value.kind = RecordKind::ValueSet;
        value.path = kTestKey;
        value.aside = "Theirs";
        value.root = "HKCU";
        std::string pending = s.folder + "install.rec.pending";
        WriteFileText(pending, ReadFileText(pending) + EncodeEntry(created) + EncodeEntry(replaced) +
                                   EncodeEntry(value) + EncodeEntry(link) + EncodeEntry(madeFolder) +
                                   EncodeEntry(removedFolder));
        EXPECT_TRUE(CInstallRecorder::RecoverUnfinished(HKEY_CURRENT_USER));
        s.ExpectMachineAsBefore();
        EXPECT_EQ(ReadFileText(theirs), "theirs");
        EXPECT_FALSE(FileExists(others / "notes.txt"));
        EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, kTestKey, "Theirs"), "theirs");
        EXPECT_EQ(ReadFileText(theirLink), "their link");
        EXPECT_TRUE(DirExists(others / "empty"));
        EXPECT_FALSE(DirExists(others / "Brellic Pagewright"));
        EXPECT_FALSE(CInstallRecorder::RecoverUnfinished(HKEY_CURRENT_USER));
    }
}

TEST(InstallRecorder, CommitKeepsTheInstallationAndListsOnlyWhatItCreated) {
    Scenario s;
    CInstallRecorder recorder;
    s.Install(recorder);
    ASSERT_TRUE(recorder.Commit());
    EXPECT_EQ(ReadFileText(s.kept), "installed over");
    EXPECT_EQ(CountEntries(s.scratch.Path()), 1);  // Vendor
    EXPECT_EQ(CountEntries(s.desktop), 1);         // the link: the earlier one moved aside is gone
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

// A run that ended after the commit's mark but before the final record took
// its place: the next start finishes the commit instead of undoing it.
TEST(InstallRecorder, AnInterruptedCommitIsFinishedByTheNextStart) {
    Scenario s;
    {
        CInstallRecorder killed;
        s.Install(killed);
    }
    std::string pending = s.folder + "install.rec.pending";
    RecordEntry mark;
    mark.kind = RecordKind::Committed;
    std::string committed = ReadFileText(pending) + EncodeEntry(mark);
    WriteFileText(pending, committed);
    WriteFileText(s.folder + "install.rec.new", committed);

    EXPECT_TRUE(CInstallRecorder::RecoverUnfinished(HKEY_CURRENT_USER));
    EXPECT_EQ(ReadFileText(s.folder + "Scrivo.exe"), "new editor");
    EXPECT_EQ(ReadFileText(s.kept), "installed over");
    EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, kProductKey, "Kept"), "after");
    EXPECT_TRUE(CInstallRecorder::ReadRecord(s.folder.c_str()).committed);
    EXPECT_EQ(CountEntries(s.folder), 2) << "the editor and the record";
    EXPECT_EQ(CountEntries(s.desktop), 1) << "the link: the earlier one moved aside is gone";
}
