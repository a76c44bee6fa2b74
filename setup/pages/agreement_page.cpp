#include "agreement_page.h"

#include "framework/win_app.h"
#include "page_frame.h"

CString AgreementText() {
    HMODULE module = AfxGetInstanceHandle();
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(IDR_AGREEMENT), MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* text = loaded ? ::LockResource(loaded) : nullptr;
    if (!text)
        return CString();
    return CString(static_cast<const char*>(text), static_cast<int>(::SizeofResource(module, found)));
}

void CAgreementPage::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDOK, m_btnAgree);
    DDX_Control(dx, IDCANCEL, m_btnDisagree);
    DDX_Text(dx, IDC_LICENSE, m_strLicense);
}

BOOL CAgreementPage::OnInitDialog() {
    CWizardPage::OnInitDialog();
    SetPageIcon(*this, m_hIcon);
    PlaceOnSharedRect(*this);
    m_strLicense = AgreementText();
    UpdateData(FALSE);
    return FinishOpening();
}

void CAgreementPage::OnCancel() {
    ConfirmQuit(*this);
}

void CAgreementPage::OnMove(int, int) {
    TrackInnerPageMove(*this);
}
