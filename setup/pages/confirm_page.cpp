#include "confirm_page.h"

#include "page_frame.h"
#include "page_rules.h"
#include "setup/setup_app.h"

void CConfirmPage::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_BACK, m_btnBack);
    DDX_Control(dx, IDOK, m_btnInstall);
    DDX_Control(dx, IDCANCEL, m_btnCancel);
    DDX_Text(dx, IDC_EDIT, m_strSummary);
}

// The summary is composed at every opening, so it follows changes made after Back.
BOOL CConfirmPage::OnInitDialog() {
    CWizardPage::OnInitDialog();
    SetPageIcon(*this, m_hIcon);
    PlaceOnSharedRect(*this);
    CSetupApp& app = SetupApp();
    m_strSummary = ConfirmationSummary(app.m_strInstallDir, app.m_bDesktopShortcut, app.m_bStartMenuIcon);
    UpdateData(FALSE);
    return FinishOpening();
}

void CConfirmPage::OnCancel() {
    ConfirmQuit(*this);
}

BOOL CConfirmPage::OnCommand(int id, int notifyCode) {
    if (id == IDC_BACK && notifyCode == BN_CLICKED) {
        EndDialog(IDC_BACK);
        return TRUE;
    }
    return CWizardPage::OnCommand(id, notifyCode);
}

void CConfirmPage::OnMove(int, int) {
    TrackInnerPageMove(*this);
}
