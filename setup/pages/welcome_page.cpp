#include "welcome_page.h"

#include "page_frame.h"

void CWelcomePage::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDCANCEL, m_btnCancel);
    DDX_Control(dx, IDOK, m_btnNext);
}

BOOL CWelcomePage::OnInitDialog() {
    CWizardPage::OnInitDialog();
    SetPageIcon(*this, m_hIcon);
    ::SetActiveWindow(m_hWnd);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CenterWindow();
    return FinishOpening();
}

void CWelcomePage::OnCancel() {
    ConfirmQuit(*this);
}

// Every move counts here, the centring included: the inner pages open where this one is.
void CWelcomePage::OnMove(int, int) {
    RecordPageRect(*this);
}
