// The first run's hand-over to its copy in the temporary folder.
#include <windows.h>
// After windows.h, which it relies on.
#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/private_temp_folder.h"
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

// The folder's own name; empty unless it is plain ASCII, as the names we make are.
CString AsciiName(const std::wstring& path) {
    std::string name;
    for (size_t i = path.find_last_of(L'\\') + 1; i < path.size(); ++i) {
        if (path[i] >= 0x80)
            return CString();
        name += static_cast<char>(path[i]);
    }
    return CString(name);
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

    // A fresh folder that only the user, the Administrators and SYSTEM may
    // enter: nothing planted beforehand, a file or a link, takes part.
    CString temp = TempFolder();
    PrivateTempFolder own;
    std::wstring prefix(kOwnTempFolderPrefix, kOwnTempFolderPrefix + sizeof kOwnTempFolderPrefix - 1);
    if (temp.IsEmpty() || !own.Create(prefix))
        return CopyFailed(temp);  // no folder of its own could be made there
    CString name = AsciiName(own.Path());
    CString target = temp + name;

    CString source = CopyPathIn(m_strInstallDir);
    CString destination = CopyPathIn(target);
    if (name.IsEmpty() || !::CopyFileA(source, destination, TRUE))
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
    // The removal run deletes the folder at its end, whether or not this run waits.
    own.Keep();
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
