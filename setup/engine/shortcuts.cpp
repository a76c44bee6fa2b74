#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "common/product_catalogue.h"
#include "common/shell_folders.h"
#include "common/shortcut_removal.h"
#include "engine_support.h"
#include "framework/scoped_handles.h"
#include "install_engine.h"
#include "setup/debug_log.h"

namespace {
// The link file name as the shell's save wants it; empty when it cannot be converted.
std::vector<wchar_t> WideFileName(const CString& path) {
    int units = ::MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    std::vector<wchar_t> wide(units > 0 ? static_cast<size_t>(units) : 0);
    if (units <= 0 || ::MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), units) != units)
        wide.clear();
    return wide;
}
}  // namespace

BOOL CInstallEngine::CreateShortCut(const char* file, const char* folder, const char* name) {
    LogFormat("start CreateShortCut(%s, %s, %s);\r\n", file, folder, name);
    CString linkPath = LinkPath(folder, name);
    // COM stays initialised on this thread for the rest of the run.
    ::CoInitialize(nullptr);
    ComPtr<IShellLinkA> link;
    HRESULT created =
        ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.ReceiveVoid());
    LogFormat("CoCreateInstance return value: pShellLink = 0x%x, hres = %d);\r\n", TraceAddress(link.Get()),
              static_cast<int>(created));
    if (FAILED(created) || !link) {
        m_questions->ReportShortcutFailed(linkPath);
    } else {
        link->SetPath(m_state.m_strInstallDir + file);
        link->SetDescription(kLinkDescription);
        ComPtr<IPersistFile> persist;
        link->QueryInterface(IID_IPersistFile, persist.ReceiveVoid());
        LogFormat("QueryInterface return value: pPf = 0x%x\r\n", TraceAddress(persist.Get()));
        if (persist) {
            std::vector<wchar_t> wide = WideFileName(linkPath);
            if (!wide.empty() && NotedBeforeChange(m_recorder && m_recorder->NoteFile(linkPath)))
                persist->Save(wide.data(), TRUE);
            LogFormat("save link: sz = %s \r\n", linkPath.c_str());
        }
    }
    LogText("exit CreateShortCut\r\n");
    return TRUE;
}

void CInstallEngine::AddTpStartMenu() {
    // Without a Programs folder the group would land in the current drive's root.
    CString programs = GetProgramsFolder();
    if (!programs.IsEmpty()) {
        CString group = programs + "\\" + kGroupFolderName;
        // A group the record does not know of could not be taken back: its links go nowhere either.
        if (!NotedBeforeChange(m_recorder && m_recorder->NoteFolders(group))) {
            LogText("exit AddTpStartMenu()\r\n");
            return;
        }
        MyCreatePath(group);
        for (const ProductLink& link : kGroupLinks)
            if (!link.mediaName)
                CreateShortCut(link.target, group, link.name);
        // The optional links follow in copy-list order.
        for (int i = 0; i < m_state.m_nCopyCount && i < static_cast<int>(m_state.m_pCopyList.size()); ++i) {
            for (const ProductLink& link : kGroupLinks)
                if (link.mediaName && m_state.m_pCopyList[static_cast<size_t>(i)] == link.mediaName)
                    CreateShortCut(link.target, group, link.name);
        }
    }
    LogText("exit AddTpStartMenu()\r\n");
}

BOOL CInstallEngine::CreateDesktopShortCut() {
    LogText("start CreateDesktopShortCut()\r\n");
    LPITEMIDLIST items = nullptr;
    char desktop[MAX_PATH] = {};
    // LocalSystem's own desktop is seen by nobody.
    bool allUsers = m_state.m_bLocalSystem;
    LogFormat("SHGetSpecialFolderLocation(NULL, %s, 0x%x)\r\n",
              allUsers ? "CSIDL_COMMON_DESKTOPDIRECTORY" : "CSIDL_DESKTOPDIRECTORY", TraceAddress(&items));
    HRESULT located = ::SHGetSpecialFolderLocation(
        nullptr, allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY, &items);
    LogFormat("SHGetPathFromIDList(0x%x, %s)\r\n", TraceAddress(&items), desktop);
    bool resolved = SUCCEEDED(located) && items && ::SHGetPathFromIDListA(items, desktop) && desktop[0] != '\0';
    ::CoTaskMemFree(items);
    // An unresolved Desktop would put the link in the current drive's root.
    if (resolved)
        CreateShortCut(kDesktopLink.target, desktop, kDesktopLink.name);
    LogText("exit CreateDesktopShortCut()\r\n");
    return TRUE;
}

namespace {
// The links of an earlier installation are moved aside rather than deleted, so
// that a rollback can put them back.
class RecordedRemoval : public ShortcutRemovalWatcher {
public:
    RecordedRemoval(CInstallRecorder& recorder, bool& unrecorded) : m_recorder(recorder), m_unrecorded(unrecorded) {}
    bool BeforeLinkRemoved(const CString& link) override { return Noted(m_recorder.NoteFile(link)); }
    bool BeforeGroupRemoved(const CString& group) override { return Noted(m_recorder.NoteFolderRemoval(group)); }

private:
    bool Noted(bool noted) {
        m_unrecorded = m_unrecorded || !noted;
        return noted;
    }
    CInstallRecorder& m_recorder;
    bool& m_unrecorded;
};
}  // namespace

void CInstallEngine::RemoveShortcuts() {
    if (!m_recorder) {
        RemoveProductShortcuts(LegacyLink::Remove);
        return;
    }
    RecordedRemoval watcher(*m_recorder, m_unrecorded);
    RemoveProductShortcuts(LegacyLink::Remove, &watcher);
}
