// Last page before the installation: a read-only summary of the folder and
// the shortcut options, with Install, Back and Cancel.
#pragma once
#include "setup/controls/hover_button.h"
#include "setup/res/resource.h"
#include "wizard_page.h"

class CConfirmPage : public CWizardPage {
public:
    CConfirmPage() : CWizardPage(IDD_CONFIRM) {}

    CHoverButton m_btnBack;
    CHoverButton m_btnInstall;
    CHoverButton m_btnCancel;
    CString m_strSummary;
    HICON m_hIcon = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    BOOL OnCommand(int id, int notifyCode) override;
    void OnMove(int x, int y) override;
};
