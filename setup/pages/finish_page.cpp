#include "finish_page.h"

#include "framework/win_app.h"
#include "page_frame.h"
#include "page_rules.h"
#include "setup/setup_app.h"

void CFinishPage::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDOK, m_btnFinish);
    DDX_Check(dx, IDC_RUN_PROGRAM, m_bRunProgram);
}

// No placement of its own: CDialog centres the page on the screen.
BOOL CFinishPage::OnInitDialog() {
    CWizardPage::OnInitDialog();
    SetPageIcon(*this, m_hIcon);
    if (RunOptionHidden(AfxGetApp()->m_lpCmdLine)) {
        ::ShowWindow(GetDlgItem(IDC_RUN_PROGRAM), SW_HIDE);
        m_bRunProgram = 0;
    }
    UpdateData(FALSE);
    return FinishOpening();
}

// Only Finish hands the answer over; Escape and the close box leave the application's choice as it was.
void CFinishPage::OnOK() {
    UpdateData(TRUE);
    SetupApp().m_bRunProgram = m_bRunProgram;
    CWizardPage::OnOK();
}
