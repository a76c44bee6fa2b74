// The install engine run without any window: its questions answered by a script,
// its outcome read from what it returns and from the disk.
#include "engine_fixture.h"
#include "framework/scoped_handles.h"
#include "message_box_answerer.h"
#include "setup/engine/install_engine.h"
#include "setup/wizard_questions.h"

namespace {
class ScriptedQuestions : public InstallQuestions {
public:
    bool keepBackup = false;
    std::vector<std::string> asked;

    bool OfferBackup(const CString& installedVersion) override {
        asked.push_back("backup " + installedVersion.str());
        return keepBackup;
    }
    InUseAnswer FileInUse(const CString& path) override {
        asked.push_back("in use " + path.str());
        return InUseAnswer::Cancel;
    }
    void ReportUncopiedFiles(const std::vector<CString>&) override { asked.push_back("uncopied"); }
    void ReportFolderNotCreated(const CString& folder) override { asked.push_back("no folder " + folder.str()); }
    void ReportShortcutFailed(const CString&) override { asked.push_back("no shortcut"); }
};

class Windowless : public EngineTest {
protected:
    InstallState state;
    ScriptedQuestions questions;
    CInstallEngine windowless{state, questions};
    std::string dest = scratch / "Pagewright\\";

    void Prepare(const std::vector<CString>& list) {
        state.m_strSourceDir = TEST_MEDIA_DIR;
        state.m_strInstallDir = dest.c_str();
        state.m_pCopyList = list;
        state.m_nCopyCount = static_cast<int>(list.size());
    }
};
}  // namespace

TEST_F(Windowless, HeldFileAnsweredWithCancelStopsTheCopyAndNamesTheFile) {
    ::CreateDirectoryA(dest.c_str(), nullptr);
    ASSERT_TRUE(WriteFileText(dest + "readme.txt", "held"));
    ScopedHandle held(
        ::CreateFileA((dest + "readme.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.IsValid());
    Prepare({"Scrivo.ex_", "readme.txt", "uninstall.ex_"});

    MessageBoxAnswerer boxes;
    StepOutcome outcome = windowless.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(outcome.status, StepStatus::Cancelled);
    EXPECT_EQ(outcome.path, (dest + "readme.txt").c_str());
    EXPECT_EQ(questions.asked, std::vector<std::string>{"in use " + dest + "readme.txt"});
    EXPECT_TRUE(boxes.Seen().empty());
    EXPECT_TRUE(FileExists(dest + "Scrivo.exe"));
    EXPECT_FALSE(FileExists(dest + "uninstall.exe"));
}

TEST_F(Windowless, BackupAnsweredWithYesKeepsTheOlderEditor) {
    ::CreateDirectoryA(dest.c_str(), nullptr);
    ASSERT_TRUE(CopyOneFile(TestEditor("2.0.0.0"), dest + "Scrivo.exe"));
    Prepare({"Scrivo.ex_"});
    state.m_strOldSetupPath = dest.c_str();
    questions.keepBackup = true;

    EXPECT_EQ(windowless.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr).status, StepStatus::Done);
    EXPECT_EQ(questions.asked, std::vector<std::string>{"backup 2.0.0.0"});
    EXPECT_EQ(VersionOf(dest + "Scrivo(2.0.0.0).exe"), "2.0.0.0");
    EXPECT_EQ(VersionOf(dest + "Scrivo.exe"), kMediaEditorVersion);
}

TEST_F(Windowless, FolderThatCannotBeMadeIsReturnedAndTheProcessGoesOn) {
    ASSERT_TRUE(WriteFileText(scratch / "file.txt", "keep me"));
    dest = scratch / "file.txt\\sub\\";
    Prepare({"Scrivo.ex_"});

    StepOutcome outcome = windowless.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(outcome.status, StepStatus::FolderNotCreated);
    EXPECT_EQ(outcome.path, dest.c_str());
    EXPECT_TRUE(questions.asked.empty()) << "reporting it is the caller's decision";
    EXPECT_EQ(ReadFileText(scratch / "file.txt"), "keep me");
}

// The wizard names a held file other than the editor and lets the person give
// up; under the install record, the file already copied goes back out.
TEST_F(Windowless, WizardNamesAHeldFileAndCancelRollsTheCopyBack) {
    ::CreateDirectoryA(dest.c_str(), nullptr);
    ASSERT_TRUE(WriteFileText(dest + "readme.txt", "the earlier readme"));
    ScopedHandle held(
        ::CreateFileA((dest + "readme.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.IsValid());
    Prepare({"Scrivo.ex_", "readme.txt", "uninstall.ex_"});
    CWizardQuestions wizard;
    windowless.SetQuestions(wizard);
    CInstallRecorder recorder;
    ASSERT_TRUE(recorder.Begin(HKEY_CURRENT_USER, dest.c_str()));
    windowless.SetRecorder(&recorder);

    MessageBoxAnswerer boxes({{"is in use by another program", IDCANCEL}});
    StepOutcome outcome = windowless.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(outcome.status, StepStatus::Cancelled);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_NE(boxes.Seen()[0].find(dest + "readme.txt"), std::string::npos) << boxes.Seen()[0];
    recorder.Rollback();
    held.Reset();
    EXPECT_FALSE(FileExists(dest + "Scrivo.exe"));
    EXPECT_EQ(ReadFileText(dest + "readme.txt"), "the earlier readme");
}
