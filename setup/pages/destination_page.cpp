#include "destination_page.h"

#include <shlobj.h>

#include "common/install_folder_guard.h"
#include "common/text_rules.h"
#include "framework/win_app.h"
#include "page_frame.h"
#include "page_rules.h"
#include "setup/setup_app.h"

namespace {
const char kBrowseTitle[] = "Please choose the directory for installation.";
const char kPathError[] = "Setup path is error.";
// BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_STATUSTEXT | BIF_EDITBOX | BIF_NEWDIALOGSTYLE
const UINT kBrowseFlags = 0x57;

// The browser opens on the current folder and shows the selected folder's path as its status.
int CALLBACK BrowseCallback(HWND browser, UINT msg, LPARAM lp, LPARAM) {
    char path[MAX_PATH + 1] = {};
    switch (msg) {
        case BFFM_INITIALIZED: {
            DWORD n = ::GetCurrentDirectoryA(MAX_PATH, path);
            if (n > 0 && n < MAX_PATH)
                ::SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path));
            break;
        }
        case BFFM_SELCHANGED:
            if (::SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(lp), path))
                ::SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
            break;
    }
    return 0;
}

// The folder the user picked, or empty when the browser was cancelled or the
// choice has no file-system path.
CString BrowseForFolder() {
    BROWSEINFOA info{};
    info.lpszTitle = kBrowseTitle;
    info.ulFlags = kBrowseFlags;
    info.lpfn = BrowseCallback;
    PIDLIST_ABSOLUTE item = ::SHBrowseForFolderA(&info);
    if (!item)
        return CString();
    char path[MAX_PATH + 1] = {};
    BOOL gotPath = ::SHGetPathFromIDListA(item, path);
    ::CoTaskMemFree(item);
    return gotPath ? CString(path) : CString();
}
}  // namespace

// The uninstaller refuses to remove anything from a folder the installation
// folder rule refuses; setup must not install there in the first place.
bool IsDestinationAccepted(const CString& typedPath, const SystemFolders& system) {
    CString pattern = DestinationProbePattern(typedPath);
    if (pattern.IsEmpty())
        return false;
    WIN32_FIND_DATAA found;
    ScopedFindHandle search(::FindFirstFileA(pattern, &found));
    return search.IsValid() && CheckInstallFolder(WithTrailingBackslash(typedPath), system) == FolderProblem::None;
}

bool IsBrowsedFolderAccepted(const CString& folder, const SystemFolders& system) {
    return FolderFitsInstalledFiles(folder) && CheckInstallFolder(folder, system) == FolderProblem::None;
}

void CDestinationPage::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_BACK, m_btnBack);
    DDX_Control(dx, IDC_BROWSE, m_btnBrowse);
    DDX_Control(dx, IDOK, m_btnNext);
    DDX_Control(dx, IDCANCEL, m_btnCancel);
    DDX_Check(dx, IDC_DESKTOP_SHORTCUT, m_bDesktopShortcut);
    DDX_Check(dx, IDC_STARTMENU_ICON, m_bStartMenuIcon);
    DDX_Text(dx, IDC_EDIT, m_strPath);
}

BOOL CDestinationPage::OnInitDialog() {
    CWizardPage::OnInitDialog();
    SetPageIcon(*this, m_hIcon);
    PlaceOnSharedRect(*this);
    m_strPath = SetupApp().m_strInstallDir;
    UpdateData(FALSE);
    return FinishOpening();
}

void CDestinationPage::ShowPathError() {
    MessageBox(kPathError, AfxGetApp()->m_strTitle, MB_OK);
}

// The drive is looked for and the folder's name checked; the folder itself is
// made by the installation.
void CDestinationPage::OnOK() {
    UpdateData(TRUE);
    if (!IsDestinationAccepted(m_strPath, CurrentSystemFolders())) {
        ShowPathError();
        return;
    }
    CSetupApp& app = SetupApp();
    app.m_strInstallDir = WithTrailingBackslash(m_strPath);
    app.m_bDesktopShortcut = m_bDesktopShortcut;
    app.m_bStartMenuIcon = m_bStartMenuIcon;
    CWizardPage::OnOK();
}

// The browsed folder is taken at once; the controls are reloaded, not saved,
// so typing and ticks since the last Next are dropped.
void CDestinationPage::OnBrowse() {
    CString chosen = BrowseForFolder();
    CSetupApp& app = SetupApp();
    if (!chosen.IsEmpty()) {
        CString folder = BrowsedInstallDir(chosen);
        if (IsBrowsedFolderAccepted(folder, CurrentSystemFolders()))
            app.m_strInstallDir = folder;
        else
            ShowPathError();
    }
    m_strPath = app.m_strInstallDir;
    UpdateData(FALSE);
}

void CDestinationPage::OnCancel() {
    ConfirmQuit(*this);
}

BOOL CDestinationPage::OnCommand(int id, int notifyCode) {
    if (notifyCode == BN_CLICKED) {
        switch (id) {
            case IDC_BROWSE:
                OnBrowse();
                return TRUE;
            case IDC_BACK:
                EndDialog(IDC_BACK);
                return TRUE;
        }
    }
    return CWizardPage::OnCommand(id, notifyCode);
}

void CDestinationPage::OnMove(int, int) {
    TrackInnerPageMove(*this);
}
