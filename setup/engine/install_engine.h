// The install operations, named as their trace lines print them. They work on
// the shared install state, ask through InstallQuestions, and report what
// happened; they never show a window or end the process.
#pragma once
#include <windows.h>

#include <vector>

#include "common/file_flusher.h"
#include "common/install_recorder.h"
#include "common/run_log.h"
#include "framework/afx_string.h"
#include "install_progress.h"
#include "install_questions.h"
#include "install_state.h"

enum class StepStatus {
    Done,
    Cancelled,         // a file stayed in use and the answer was Cancel, or the user stopped the copy
    FolderNotCreated,  // nothing was copied
    Incomplete,        // files that were on the media could not be put in place
    NotRecorded,       // the install record could not be written: nothing more was changed
};

struct StepOutcome {
    StepStatus status = StepStatus::Done;
    CString path;  // the file in use, or the folder that could not be made
};

class CInstallEngine {
public:
    CInstallEngine(InstallState& state, InstallQuestions& questions) : m_state(state), m_questions(&questions) {}
    CInstallEngine(const CInstallEngine&) = delete;
    CInstallEngine& operator=(const CInstallEngine&) = delete;

    void initCopyedFileList();
    BOOL GetFileVersion(CString& strVersion, CString strFile);
    StepOutcome CopyFileToAnother(const char* lpsz1, const char* lpsz2, const char* lpsz3, const char* lpsz4);
    BOOL CreateThePath(const char* lpszPath);
    BOOL MyCreatePath(CString path);
    BOOL CreateShortCut(const char* file, const char* folder, const char* name);
    void AddTpStartMenu();
    BOOL CreateDesktopShortCut();
    void RemoveShortcuts();
    void WriteReg();
    void RepairRunexe(CString& commandLine, CString& directory);
    void RunProgram();

    // Who answers the engine's questions from now on.
    void SetQuestions(InstallQuestions& questions) { m_questions = &questions; }
    // Every change is noted in this record before it is made; none when null.
    void SetRecorder(CInstallRecorder* recorder) { m_recorder = recorder; }
    // Who is told how far the copy is, and may stop it; none when null.
    void SetProgress(InstallProgress* progress) { m_progress = progress; }
    // Where the engine notes what the trace does not say; none when null.
    void SetRunLog(CRunLog* log) { m_runLog = log; }
    // A change was left out because the install record could not note it
    // first; the installation cannot stand then.
    bool ChangeLeftOut() const { return m_unrecorded; }

private:
    // Where a pass over the copy list stopped, or goes on.
    struct PassPosition {
        size_t index = 0;
        bool backupSettled = false;  // the backup offer of this entry is behind us
    };
    enum class BackupResult { GoOn, Failed, InUse };
    enum class PassEnd { Through, FileHeld, Stopped };

    StepOutcome CopyAllPasses(const char* lpsz1, const char* lpsz2, const char* lpsz3, const char* lpsz4);
    PassEnd CopyPass(PassPosition& position, std::vector<CString>& uncopied, CString& heldFile);
    // Waits for the flushes queued so far; the first file whose data could not
    // be written out stays noted.
    void WaitForFlushes();
    bool CopyReporting(const CString& source, const CString& destination, uint64_t bytesBefore);
    BackupResult KeepBackupIfWanted(const CString& source, const CString& destination);
    CString WhereMediaFileIs(const CString& entry) const;
    // Whether a change may go ahead: without a record there is nothing to note.
    bool NotedBeforeChange(bool noted) {
        m_unrecorded = m_unrecorded || (m_recorder && !noted);
        return !m_recorder || noted;
    }
    void SetValue(HKEY root, const char* key, const char* name, const char* value, DWORD type);
    // The inventory details of the Uninstall entry, noted like the rest but not traced.
    void SetUntracedValue(HKEY root, const char* key, const char* name, const char* value, DWORD type);

    InstallState& m_state;
    InstallQuestions* m_questions;
    CInstallRecorder* m_recorder = nullptr;
    InstallProgress* m_progress = nullptr;
    std::vector<bool> m_presentAtStart;     // media files found when the copy began
    std::vector<uint64_t> m_bytesBefore;    // bytes of the found files ahead of each entry, and in all
    std::vector<CString> m_movedFromMedia;  // entries moved into place rather than copied
    bool m_unrecorded = false;
    CRunLog* m_runLog = nullptr;
    CFileFlusher m_flusher;  // every copied file, flushed while the next is copied
    CString m_unflushed;     // the first that could not be
};
