#include "install_type_page.h"

#include "page_frame.h"
#include "setup/controls/scaled_art.h"
#include "setup/setup_app.h"

void CInstallTypePage::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDCANCEL, m_btnCancel);
    DDX_Control(dx, IDC_BACK_TO_AGREEMENT, m_btnBack);
    DDX_Text(dx, IDC_VERSION_TEXT, m_strVersionText);
}

BOOL CInstallTypePage::OnInitDialog() {
    CWizardPage::OnInitDialog();
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
    return FinishOpening();
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
    return CWizardPage::OnCommand(id, notifyCode);
}

void CInstallTypePage::FitArt() {
    CWizardPage::FitArt();
    UINT dpi = WindowDpi(m_hWnd);
    m_btnDefault.FitToDpi(dpi);
    m_btnCustom.FitToDpi(dpi);
}

void CInstallTypePage::OnMove(int, int) {
    TrackInnerPageMove(*this);
}
