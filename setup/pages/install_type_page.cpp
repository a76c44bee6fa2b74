#include "install_type_page.h"

#include "setup/setup_app.h"
#include "page_frame.h"

void CInstallTypePage::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDCANCEL, m_btnCancel);
    DDX_Control(dx, IDC_BACK_TO_AGREEMENT, m_btnBack);
    DDX_Text(dx, IDC_VERSION_TEXT, m_strVersionText);
}

BOOL CInstallTypePage::OnInitDialog() {
    CDialog::OnInitDialog();
    SetPageIcon(*this, m_hIcon);
    PlaceOnSharedRect(*this);
    ::SetForegroundWindow(m_hWnd);
    m_btnDefault.SubclassDlgItem(IDC_DEFAULT, m_hWnd);
    m_btnDefault.SetBitmaps(IDB_DEFAULT_NORMAL, IDB_DEFAULT_HOVER, IDB_DEFAULT_PRESSED);
    m_btnCustom.SubclassDlgItem(IDC_CUSTOM, m_hWnd);
    m_btnCustom.SetBitmaps(IDB_CUSTOM_NORMAL, IDB_CUSTOM_HOVER, IDB_CUSTOM_PRESSED);

    // Read anew at every opening, from the editor beside the running setup.
    CSetupApp& app = SetupApp();
    CString version;
    if (app.m_engine.GetFileVersion(version, app.MediaEditorPath()))
        m_strVersionText = "Brellic Pagewright's version is \"" + version + "\".";
    else
        m_strVersionText = "Brellic Pagewright's version is unknown. ";
    UpdateData(FALSE);
    return TRUE;
}

void CInstallTypePage::OnCancel() {
    ConfirmQuit(*this);
}

BOOL CInstallTypePage::OnCommand(int id, int notifyCode) {
    if (notifyCode == BN_CLICKED) {
        switch (id) {
            case IDC_DEFAULT:
                OnOK();
                return TRUE;
            case IDC_CUSTOM:
            case IDC_BACK_TO_AGREEMENT:
                EndDialog(id);
                return TRUE;
        }
    }
    return CDialog::OnCommand(id, notifyCode);
}

void CInstallTypePage::OnMove(int, int) {
    TrackInnerPageMove(*this);
}
