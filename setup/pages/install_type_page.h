// Default or custom installation, as two picture buttons, with the version of
// the editor on the media in the bottom-left corner.
#pragma once
#include "setup/controls/hover_bitmap_button.h"
#include "setup/controls/hover_button.h"
#include "setup/res/resource.h"
#include "wizard_page.h"

class CInstallTypePage : public CWizardPage {
public:
    CInstallTypePage() : CWizardPage(IDD_INSTALLTYPE) {}

    CHoverBitmapButton m_btnCustom;
    CHoverBitmapButton m_btnDefault;
    CHoverButton m_btnCancel;
    CHoverButton m_btnBack;
    CString m_strVersionText;
    HICON m_hIcon = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    BOOL OnCommand(int id, int notifyCode) override;
    void OnMove(int x, int y) override;
    void FitArt() override;
};
