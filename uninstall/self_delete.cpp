#include "self_delete.h"

#include <vector>

#include "common/system_paths.h"
#include "common/text_rules.h"
#include "framework/scoped_handles.h"
#include "framework/win_app.h"
#include "uninstall_app.h"
#include "uninstall_rules.h"

namespace {
CString ShortPathOf(const CString& path) {
    std::vector<char> buffer(MAX_PATH);
    DWORD n = ::GetShortPathNameA(path, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n > 0 && n >= buffer.size()) {
        buffer.resize(n);
        n = ::GetShortPathNameA(path, buffer.data(), static_cast<DWORD>(buffer.size()));
    }
    return (n > 0 && n < buffer.size()) ? CString(buffer.data(), static_cast<int>(n)) : path;
}
}  // namespace

// Always the system's own interpreter: COMSPEC is the user's to set, and must
// not choose what an uninstaller running with administrator rights starts.
CString InterpreterPath() {
    CString systemFolder = SystemFolder();
    return systemFolder.IsEmpty() ? CString() : systemFolder + "cmd.exe";
}

std::vector<CString> HoldingFolder(const CString& file) {
    CString target = ShortPathOf(file);
    CString folder = BeforeLastBackslash(target);
    return folder == target || folder.IsEmpty() ? std::vector<CString>{} : std::vector<CString>{folder};
}

DWORD StartSelfDeletion(const CString& file, const std::vector<CString>& folders) {
    CString interpreter = InterpreterPath();
    if (interpreter.IsEmpty())
        return ERROR_PATH_NOT_FOUND;
    CString systemFolder = SystemFolder();
    if (systemFolder.IsEmpty())
        return ::GetLastError();
    // The path is quoted; its short form only keeps the command line short.
    CString target = ShortPathOf(file);
    CString commandText = SelfDeleteCommandLine(interpreter, target, systemFolder + "ping.exe", folders);
    if (commandText.IsEmpty())
        return ERROR_BAD_PATHNAME;
    std::vector<char> commandLine(commandText.c_str(), commandText.c_str() + commandText.GetLength() + 1);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    // The system folder as current folder: the interpreter looks there first
    // for what it runs, and the temporary folder is nobody's to trust.
    if (!::CreateProcessA(interpreter, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                          systemFolder, &startup, &info))
        return ::GetLastError();
    ScopedHandle process(info.hProcess);
    ScopedHandle thread(info.hThread);
    ::SetPriorityClass(::GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    ::SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    ::SetPriorityClass(process.Get(), IDLE_PRIORITY_CLASS);
    ::ResumeThread(thread.Get());
    return 0;
}

DWORD CUninstallApp::DeleteSelf() {
    CString self = GetModulePath();
    if (self.IsEmpty())
        return ::GetLastError();
    // The removal run always runs from its own fresh folder, which goes with it.
    return StartSelfDeletion(self, HoldingFolder(self));
}
