// Copying the media into the destination folder: names, order, trace, the
// messages a person sees, and what stays untouched when things go wrong.
#include <cstdlib>

#include "common/file_flusher.h"
#include "common/install_recorder.h"
#include "engine_fixture.h"
#include "framework/scoped_handles.h"
#include "message_box_answerer.h"
#include "setup/engine/copy_rules.h"
#include "test_registry.h"
#include "test_security.h"
#include "ui_driver.h"

namespace {
const char kStart[] = "start CopyFileToAnother((null), (null), (null), (null))\r\n";
const char kCloseEditor[] =
    "Brellic Pagewright must be closed to proceed with the installation.\nPlease close all running Brellic "
    "Pagewright and then click OK to continue.";
const char kCannotCreate[] = "Can't create the directory. The installation will be canceled.";

std::string CopyLine(const std::string& source, const std::string& destination) {
    return "CopyFile(" + source + ", " + destination + ", FALSE)\r\n";
}

class CopyFiles : public EngineTest {
protected:
    std::string dest = scratch / "Brellic Software\\Pagewright\\";

    // The CopyFile lines of one pass over the list, from entry first on.
    std::string Pass(size_t first = 0) const {
        std::string lines;
        for (size_t i = first; i < app.m_pCopyList.size(); ++i)
            lines += CopyLine(app.m_strSourceDir.str() + "\\" + app.m_pCopyList[i].c_str(),
                              app.m_strInstallDir.str() + InstalledNameOf(app.m_pCopyList[i]));
        return lines;
    }
    std::string ThePath() const {
        return "start CreateThePath (" + app.m_strInstallDir.str() + ")\r\nexit CreateThePath()\r\n";
    }

    // Installs readme, editor and uninstaller from source while an older editor
    // runs from the destination; OK on "must be closed" closes it. The trace.
    std::string InstallOverRunningEditor(const std::string& source) {
        ::CreateDirectoryA((scratch / "Brellic Software").c_str(), nullptr);
        ::CreateDirectoryA(dest.c_str(), nullptr);
        EXPECT_TRUE(CopyOneFile(TestEditor("2.0.0.0"), dest + "Scrivo.exe"));
        ChildProcess editor(dest + "Scrivo.exe", "", dest);
        HWND window = WaitForWindow(editor.Id(), [](HWND w) { return WindowText(w) == "Brellic Pagewright"; });
        EXPECT_TRUE(window);
        Prepare(source, dest, {"readme.txt", "Scrivo.ex_", "uninstall.ex_"});
        MessageBoxAnswerer answerer({{"must be closed", IDOK, [&] {
                                          ::PostMessageA(window, WM_CLOSE, 0, 0);
                                          editor.WaitExit();
                                      }}});
        EXPECT_EQ(engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr).status, StepStatus::Done);
        EXPECT_EQ(answerer.Seen(), std::vector<std::string>{kCloseEditor});
        EXPECT_FALSE(editor.Running());
        return Log();
    }
    // The nested run copies the whole list; the interrupted one then goes on after the failed entry.
    std::string RetriedTrace() const {
        std::string firstTwo = Pass().substr(0, Pass().size() - Pass(2).size());
        return kStart + ThePath() + firstTwo + kStart + ThePath() + Pass() + "exit CopyFileToAnother()\r\n" + Pass(2) +
               "exit CopyFileToAnother()\r\n";
    }
};
}  // namespace

TEST_F(CopyFiles, FreshInstallationCopiesEveryEntryInOrderUnderItsInstalledName) {
    Prepare(TEST_MEDIA_DIR, dest, kEveryMediaFile);
    MessageBoxAnswerer answerer;
    EXPECT_EQ(engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr).status, StepStatus::Done);

    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_EQ(CountEntries(dest), 11);
    for (const CString& entry : kEveryMediaFile) {
        std::string installed = dest + InstalledNameOf(entry);
        EXPECT_EQ(ReadFileText(installed), ReadFileText(std::string(TEST_MEDIA_DIR) + "\\" + entry.c_str()))
            << installed;
    }
    std::string parent = scratch / "Brellic Software";
    EXPECT_EQ(Log(), kStart +
                         ("start CreateThePath (" + dest + ")\r\nstart CreateThePath (" + parent +
                          ")\r\nexit CreateThePath()\r\nexit CreateThePath()\r\n") +
                         Pass() + "exit CopyFileToAnother()\r\n");
    EXPECT_EQ(app.m_bSameDir, 0);
}

TEST_F(CopyFiles, ReadOnlyEditorOverwrittenAndAbsentMediaFileSkippedSilently) {
    std::vector<CString> list(kEveryMediaFile.begin(), kEveryMediaFile.begin() + 6);
    std::vector<CString> onMedia = list;
    onMedia.erase(onMedia.begin() + 4);  // "what's new.txt" is missing from these media
    std::string media = MakeMedia(onMedia);
    ::CreateDirectoryA((scratch / "Brellic Software").c_str(), nullptr);
    ::CreateDirectoryA(dest.c_str(), nullptr);
    ASSERT_TRUE(CopyOneFile(TestEditor("2.0.0.0"), dest + "Scrivo.exe"));
    ::SetFileAttributesA((dest + "Scrivo.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    Prepare(media, dest, list);

    MessageBoxAnswerer answerer;
    engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
    std::string log = Log();
    EXPECT_TRUE(answerer.Seen().empty()) << "an absent media file is no failure to report";
    EXPECT_EQ(VersionOf(dest + "Scrivo.exe"), kMediaEditorVersion);
    EXPECT_FALSE(FileExists(dest + "what's new.txt"));
    EXPECT_EQ(CountEntries(dest), 5);
    EXPECT_EQ(log, kStart + ThePath() + Pass() + "exit CopyFileToAnother()\r\n");
}

TEST_F(CopyFiles, DestinationThatCannotBeMadeCancelsBeforeAnythingIsCopied) {
    ASSERT_TRUE(WriteFileText(scratch / "file.txt", "keep me"));
    for (std::string target : {std::string(), scratch / "file.txt\\sub\\"}) {
        Prepare(TEST_MEDIA_DIR, target, kEveryMediaFile);
        MessageBoxAnswerer answerer({{kCannotCreate, IDOK}});
        try {
            app.InstallSteps(true);
            ADD_FAILURE() << "went on into '" << target << "'";
        } catch (const ProcessEnded& ended) {
            EXPECT_EQ(ended.exitCode, 0);
        }
        EXPECT_EQ(answerer.Seen(), std::vector<std::string>{kCannotCreate});
        EXPECT_EQ(Log().find("CopyFile("), std::string::npos);
    }
    EXPECT_EQ(app.reportsShown, 2) << "each failure opens the report after its message";
    EXPECT_EQ(ReadFileText(scratch / "file.txt"), "keep me");
    EXPECT_EQ(CountEntries(scratch.Path()), 1);
}

TEST_F(CopyFiles, EditorRunningFromTheDestinationIsClosedAndEveryEntryCopiedAgain) {
    std::string log = InstallOverRunningEditor(TEST_MEDIA_DIR);
    EXPECT_EQ(VersionOf(dest + "Scrivo.exe"), kMediaEditorVersion);
    EXPECT_TRUE(FileExists(dest + "uninstall.exe"));
    EXPECT_EQ(log, RetriedTrace());
}

// The download's own unpacked media are moved rather than copied, over an
// earlier installation; the pass after a retry finds what the first one moved
// already in place.
TEST_F(CopyFiles, UnpackedMediaAreMovedAndARetriedPassFindsThemInPlace) {
    ProductKeysGuard keys;
    ::CreateDirectoryA((scratch / "Brellic Software").c_str(), nullptr);
    ::CreateDirectoryA(dest.c_str(), nullptr);
    WriteFileText(dest + "readme.txt", "earlier readme");
    ASSERT_TRUE(CopyOneFile(TestEditor("2.0.0.0"), dest + "Scrivo.exe"));
    ScopedHandle held(
        ::CreateFileA((dest + "Scrivo.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string media = MakeMedia({"readme.txt", "Scrivo.ex_", "uninstall.ex_"});
    Prepare(media, dest, {"readme.txt", "Scrivo.ex_", "uninstall.ex_"});
    app.m_bMediaMovable = true;
    CInstallRecorder recorder;
    recorder.Begin(HKEY_CURRENT_USER, dest.c_str());
    engine.SetRecorder(&recorder);

    MessageBoxAnswerer answerer({{"must be closed", IDOK, [&] { held.Reset(); }}});
    EXPECT_EQ(engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr).status, StepStatus::Done);
    std::string log = Log();
    EXPECT_TRUE(recorder.Commit());

    EXPECT_EQ(answerer.Seen(), std::vector<std::string>{kCloseEditor});
    EXPECT_EQ(VersionOf(dest + "Scrivo.exe"), kMediaEditorVersion);
    EXPECT_EQ(ReadFileText(dest + "readme.txt"), ReadFileText(TEST_MEDIA_DIR "\\readme.txt"));
    EXPECT_EQ(ReadFileText(dest + "uninstall.exe"), ReadFileText(TEST_MEDIA_DIR "\\uninstall.ex_"));
    EXPECT_EQ(CountEntries(media), 0);
    EXPECT_EQ(log, RetriedTrace());
}

TEST_F(CopyFiles, FilesThatCouldNotBeWrittenAreNamedInOneMessage) {
    // A folder of that name stands where two files should go.
    ::CreateDirectoryA((scratch / "Brellic Software").c_str(), nullptr);
    ::CreateDirectoryA(dest.c_str(), nullptr);
    ::CreateDirectoryA((dest + "readme.txt").c_str(), nullptr);
    ::CreateDirectoryA((dest + "BRLXCJK.BIN").c_str(), nullptr);
    Prepare(TEST_MEDIA_DIR, dest, std::vector<CString>(kEveryMediaFile.begin(), kEveryMediaFile.begin() + 6));

    MessageBoxAnswerer answerer({{"could not be installed", IDOK}});
    engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(answerer.Seen(), std::vector<std::string>{UncopiedFilesMessage({"readme.txt", "BRLXCJK.BIN"}).str()});
    EXPECT_TRUE(FileExists(dest + "Known Issues.txt"));
    EXPECT_EQ(Log(), kStart + ThePath() + Pass() + "exit CopyFileToAnother()\r\n");
}

// Media taken away during the copy: the files copied so far are taken back,
// and the person sees the message, then the report.
TEST_F(CopyFiles, AnInstallationMissingFilesIsUndoneAndReported) {
    static std::string takenAway;
    std::string media = MakeMedia(kEveryMediaFile);
    takenAway = media + "\\readme.txt";
    g_system.fileCopyStarting = [](const char*) { ::DeleteFileA(takenAway.c_str()); };
    Prepare(media, dest, kEveryMediaFile);

    MessageBoxAnswerer answerer({{"could not be installed", IDOK}});
    EXPECT_FALSE(app.InstallSteps(true));
    EXPECT_EQ(answerer.Seen(), std::vector<std::string>{UncopiedFilesMessage({"readme.txt"}).str()});
    EXPECT_EQ(app.reportsShown, 1);
    EXPECT_EQ(CountEntries(scratch.Path()), 1) << "only the media are left";
}

TEST_F(CopyFiles, LongestPathAtTheLimitAndReadOnlyFolder) {
    // Folders so deep that "Known Issues.txt", the longest name, ends at the 259th character.
    std::string deep = scratch.Path();
    while (deep.size() + 1 + 16 < 259)
        deep += "\\" + std::string(std::min<size_t>(40, 259 - deep.size() - 18), 'd');
    deep += "\\";
    ASSERT_EQ(deep.size() + 16, 259u);
    // Read-only is a mark the system ignores for folders; a person may still have set it.
    std::string readOnly = scratch / "readonly\\";
    ::CreateDirectoryA(readOnly.c_str(), nullptr);
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);

    for (const std::string& target : {deep, readOnly}) {
        Prepare(TEST_MEDIA_DIR, target, kEveryMediaFile);
        MessageBoxAnswerer answerer;
        engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
        EXPECT_TRUE(answerer.Seen().empty()) << target;
        EXPECT_EQ(CountEntries(target), 11) << target;
        EXPECT_TRUE(FileExists(target + "Known Issues.txt")) << target;
    }
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A drive that fills up during the copy; engine_full_drive maps a small one and names it.
TEST_F(CopyFiles, FullDriveNamesTheFilesThatDidNotFit) {
    const char* drive = std::getenv("BRELLIC_SMALL_DRIVE");
    if (!drive)
        GTEST_SKIP() << "run by the engine_full_drive check";
    std::vector<CString> list(kEveryMediaFile.begin(), kEveryMediaFile.begin() + 6);
    std::string media = MakeMedia(list);
    ASSERT_TRUE(WriteFileText(media + "\\BRLXCJK.BIN", std::string(2 << 20, 'x')));  // twice the drive
    std::string target = std::string(drive) + "\\Pagewright\\";
    Prepare(media, target, list);

    MessageBoxAnswerer answerer;
    engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
    std::vector<CString> missing;
    for (const CString& entry : list)
        if (ReadFileText(target + InstalledNameOf(entry)) != ReadFileText(media + "\\" + entry.c_str()))
            missing.push_back(InstalledNameOf(entry).c_str());
    DeleteTree(target);
    ASSERT_FALSE(missing.empty());
    EXPECT_EQ(missing.front(), "BRLXCJK.BIN");
    EXPECT_EQ(answerer.Seen(), std::vector<std::string>{UncopiedFilesMessage(missing).str()});

    // A reinstallation that runs out of room is rolled back: the earlier
    // installation is there again byte for byte.
    ::CreateDirectoryA(target.c_str(), nullptr);
    for (const CString& entry : list)
        ASSERT_TRUE(WriteFileText(target + InstalledNameOf(entry), "earlier " + entry.str()));
    CInstallRecorder recorder;
    ASSERT_TRUE(recorder.Begin(HKEY_CURRENT_USER, target.c_str()));
    engine.SetRecorder(&recorder);
    MessageBoxAnswerer again;
    EXPECT_EQ(engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr).status, StepStatus::Incomplete);
    recorder.Rollback();
    engine.SetRecorder(nullptr);
    for (const CString& entry : list)
        EXPECT_EQ(ReadFileText(target + InstalledNameOf(entry)), "earlier " + entry.str()) << entry.str();
    EXPECT_EQ(CountEntries(target), static_cast<int>(list.size()));
    DeleteTree(target);
}

namespace {
// The rights on the new folder and its new parent as the first file is about to go in.
std::map<std::string, ACCESS_MASK> g_folderRights, g_parentRights;
std::string g_watchedFolder;
void ReadRightsAtFirstCopy(const char*) {
    if (!g_folderRights.empty())
        return;
    g_folderRights = AllowedRights(g_watchedFolder);
    g_parentRights = AllowedRights(g_watchedFolder.substr(0, g_watchedFolder.rfind('\\', g_watchedFolder.size() - 2)));
}
}  // namespace

// For all users, the folders setup makes are closed to other users before the
// first file goes in; an existing folder that others may change is refused
// before anything is made or copied.
TEST_F(CopyFiles, AllUsersFoldersAreClosedBeforeTheFirstCopyAndAnOpenOneIsRefused) {
    Prepare(TEST_MEDIA_DIR, dest, kEveryMediaFile);
    g_watchedFolder = dest;
    g_system.fileCopyStarting = ReadRightsAtFirstCopy;
    EXPECT_EQ(engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr).status, StepStatus::Done);
    for (auto* rights : {&g_folderRights, &g_parentRights}) {
        ASSERT_FALSE(rights->empty());
        EXPECT_EQ((*rights)["S-1-5-18"], static_cast<ACCESS_MASK>(FILE_ALL_ACCESS));
        for (const char* everybody : {"S-1-5-11", "S-1-5-32-545"})
            EXPECT_EQ((*rights)[everybody] & kChangeRights, 0u) << everybody;
        // Wine shows a folder made with its own list by everyone's having no
        // right at all; one made plainly gets everyone's read and run.
        EXPECT_EQ(rights->count("S-1-1-0"), 0u);
    }

    std::string open = scratch / "Open";
    ASSERT_TRUE(::CreateDirectoryA(open.c_str(), nullptr));
    ASSERT_TRUE(OpenToEveryone(open));
    Prepare(TEST_MEDIA_DIR, open + "\\Pagewright\\", kEveryMediaFile);
    MessageBoxAnswerer answerer({{"cannot install", IDOK}});
    EXPECT_FALSE(app.InstallSteps(true));
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_NE(answerer.Seen()[0].find(open + "\": users who are not administrators may change it"), std::string::npos)
        << answerer.Seen()[0];
    EXPECT_EQ(CountEntries(open), 0);
}

// Flushing reports the first file whose data could not be written out, once.
TEST(FileFlusher, ReportsAFileThatCannotBeFlushed) {
    ScratchDir scratch("flush");
    ASSERT_TRUE(WriteFileText(scratch / "kept.txt", "data"));
    CFileFlusher flusher;
    flusher.Add(scratch / "kept.txt");
    flusher.Add(scratch / "gone.txt");
    flusher.Add(scratch / "also gone.txt");
    EXPECT_EQ(flusher.Wait(), scratch / "gone.txt");
    EXPECT_EQ(flusher.Wait(), "");
}
