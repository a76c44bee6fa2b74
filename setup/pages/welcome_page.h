// First page: greets the user, opens centred and topmost, and records where it
// is so that the inner pages open there.
#pragma once
#include "setup/controls/hover_button.h"
#include "setup/res/resource.h"
#include "wizard_page.h"

class CWelcomePage : public CWizardPage {
public:
    CWelcomePage() : CWizardPage(IDD_WELCOME) {}

    CHoverButton m_btnCancel;
    CHoverButton m_btnNext;
    HICON m_hIcon = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnMove(int x, int y) override;
};
