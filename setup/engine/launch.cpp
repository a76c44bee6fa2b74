#include <vector>

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

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoA(&startup);
    std::vector<char> mutableCommandLine(commandLine.c_str(), commandLine.c_str() + commandLine.GetLength() + 1);
    PROCESS_INFORMATION started{};
    // The editor inherits none of setup's handles (its record file, its lock).
    if (::CreateProcessA(nullptr, mutableCommandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                         directory, &startup, &started)) {
        // Nobody waits for the editor; its handles are not ours to keep.
        ScopedHandle process(started.hProcess);
        ScopedHandle thread(started.hThread);
    }

    HWND editor = nullptr;
    for (int attempt = 0; attempt < 20 && !editor; ++attempt) {
        ::Sleep(100);
        editor = ::FindWindowA(nullptr, kEditorWindowTitle);
    }
    if (editor)
        ::BringWindowToTop(editor);
    LogText("exit RunProgram()\r\n");
}
