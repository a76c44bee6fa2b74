#include "interrupted_page.h"

#include "page_frame.h"

void CInterruptedPage::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDOK, m_btnFinish);
}

// Centred on the screen, wherever the earlier pages were dragged.
BOOL CInterruptedPage::OnInitDialog() {
    CWizardPage::OnInitDialog();
    SetPageIcon(*this, m_hIcon);
    CenterWindow();
    return FinishOpening();
}
