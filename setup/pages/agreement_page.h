// The licence agreement, read-only; I agree goes on, I don't agree asks to quit.
#pragma once
#include "setup/controls/hover_button.h"
#include "setup/res/resource.h"
#include "wizard_page.h"

class CAgreementPage : public CWizardPage {
public:
    CAgreementPage() : CWizardPage(IDD_AGREEMENT) {}

    CHoverButton m_btnAgree;
    CHoverButton m_btnDisagree;
    CString m_strLicense;
    HICON m_hIcon = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnMove(int x, int y) override;
};

// The agreement text, as the program carries it.
CString AgreementText();
