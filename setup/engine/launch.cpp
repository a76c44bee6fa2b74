#include "common/ordinary_rights.h"
#include "common/product_catalogue.h"
#include "common/text_rules.h"
#include "framework/scoped_handles.h"
#include "install_engine.h"
#include "setup/debug_log.h"

void CInstallEngine::RepairRunexe(CString& commandLine, CString& directory) {
    LogFormat("start RepairRunexe(%s, %s)\r\n", commandLine.c_str(), directory.c_str());
    m_state.m_strInstallDir = WithTrailingBackslash(m_state.m_strInstallDir);
    // Quoted: a folder with blanks must not be split into a program and arguments.
    commandLine = "\"" + m_state.m_strInstallDir + kEditorFileName + "\"";
    directory = m_state.m_strInstallDir;
    LogText("exit RepairRunexe()\r\n");
}

void CInstallEngine::RunProgram() {
    LogText("start RunProgram()\r\n");
    CString commandLine;
    CString directory;
    RepairRunexe(commandLine, directory);

    // The editor inherits none of setup's handles (its record file, its lock),
    // nor the administrator's rights an elevated setup runs with.
    PROCESS_INFORMATION started{};
    StartedWith how = StartWithOrdinaryRights(commandLine, directory, &started);
    // Nobody waits for the editor; its handles are not ours to keep.
    ScopedHandle process(started.hProcess);
    ScopedHandle thread(started.hThread);
    if (how == StartedWith::Nothing && m_runLog)
        m_runLog->Write("editor not started: no token with the user's ordinary rights was available\r\n");

    HWND editor = nullptr;
    for (int attempt = 0; attempt < 20 && !editor; ++attempt) {
        ::Sleep(100);
        editor = ::FindWindowA(nullptr, kEditorWindowTitle);
    }
    if (editor)
        ::BringWindowToTop(editor);
    LogText("exit RunProgram()\r\n");
}
