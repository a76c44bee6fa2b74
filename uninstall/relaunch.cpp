// The first run's hand-over to its copy in the temporary folder.
#include <windows.h>
// After windows.h, which it relies on.
#include <shellapi.h>

#include <cstring>
#include <vector>

#include "common/product_catalogue.h"
#include "common/registry.h"
#include "common/system_paths.h"
#include "common/text_rules.h"
#include "framework/scoped_handles.h"
#include "uninstall_app.h"
#include "uninstall_rules.h"

namespace {
// TRUE when the open file holds exactly the bytes of the file at sourcePath.
bool SameContent(HANDLE file, const CString& sourcePath) {
    ScopedHandle source(::CreateFileA(sourcePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!source || ::SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0)
        return false;
    std::vector<char> a(64 * 1024), b(64 * 1024);
    for (;;) {
        DWORD gotA = 0, gotB = 0;
        if (!::ReadFile(file, a.data(), static_cast<DWORD>(a.size()), &gotA, nullptr) ||
            !::ReadFile(source.Get(), b.data(), static_cast<DWORD>(b.size()), &gotB, nullptr))
            return false;
        if (gotA != gotB || std::memcmp(a.data(), b.data(), gotA) != 0)
            return false;
        if (gotA == 0)
            return true;
    }
}

// An existing folder that is a junction or a symbolic link.
bool IsLinkedFolder(const CString& folder) {
    DWORD attributes = ::GetFileAttributesA(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}
}  // namespace

// Said rather than ended silently: a file of that name in the way, a full disk
// or a blocked temporary folder would otherwise look like nothing happened.
BOOL CUninstallApp::CopyFailed(const CString& copy) {
    CString text;
    text.Format("Uninstall could not copy itself to \"%s\" and start from there. Nothing has been removed.",
                copy.c_str());
    ShowMessage(text, MB_OK);
    return FALSE;
}

// The copy runs from a folder anyone with the user's rights can write to,
// perhaps with administrator rights: it must run exactly what was copied.
BOOL CUninstallApp::RelaunchFromTemp() {
    CString folder = InstallFolderFromSetupPath(RegGetString(m_hRootKey, kProductKey, kSetupPathValue, ""));
    if (folder.IsEmpty())
        folder = ProgramFolder();
    if (!AcceptInstallFolder(folder))
        return FALSE;

    CString target = TempFolder() + kOwnTempFolderName;
    if (!::CreateDirectoryA(target, nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        target = UpToLastBackslash(target);
    if (IsLinkedFolder(target)) {
        CString message;
        message.Format(kLinkedTempFolderText, target.c_str());
        ShowMessage(message, MB_OK);
        return FALSE;
    }

    CString source = CopyPathIn(m_strInstallDir);
    CString destination = CopyPathIn(target);
    // A file left there is replaced, never written through (it could be a link).
    ::SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(destination);
    if (!::CopyFileA(source, destination, FALSE))
        return CopyFailed(destination);
    // Nobody may change the copy between the check and the start.
    ScopedHandle hold(::CreateFileA(destination, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!hold || !SameContent(hold.Get(), source))
        return CopyFailed(destination);

    CString systemFolder = SystemFolder();
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = destination;
    // An unattended removal run gets the same switches and writes to the same log.
    CString parameters = m_strInstallDir;
    if (IsUnattended()) {
        CString switches = "/S ";
        if (m_log.IsOpen())
            switches += "\"/LOG=" + m_log.Path() + "\" ";
        parameters = switches + m_strInstallDir;
        m_log.Close();
    }
    info.lpParameters = parameters;
    // Not the current folder: that may be the installation folder, which the
    // copy could not remove while it is its current folder.
    info.lpDirectory = systemFolder.IsEmpty() ? nullptr : systemFolder.c_str();
    info.nShow = SW_SHOW;
    BOOL started = ::ShellExecuteExA(&info);
    hold.Reset();
    ScopedHandle process(started ? info.hProcess : nullptr);
    if (!process)
        return CopyFailed(destination);
    m_nExitCode = kExitSuccess;
    if (IsUnattended()) {
        // The caller learns the outcome only when the removal is done.
        m_singleRun.Release();
        ::WaitForSingleObject(process.Get(), INFINITE);
        DWORD code = kExitFailed;
        ::GetExitCodeProcess(process.Get(), &code);
        m_nExitCode = static_cast<int>(code);
        m_bLogHandedOver = true;
    }
    return TRUE;
}
