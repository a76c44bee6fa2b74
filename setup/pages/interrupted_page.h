// Shown when setup is abandoned before anything was installed.
#pragma once
#include "setup/controls/hover_button.h"
#include "setup/res/resource.h"
#include "wizard_page.h"

class CInterruptedPage : public CWizardPage {
public:
    CInterruptedPage() : CWizardPage(IDD_INTERRUPTED) {}

    CHoverButton m_btnFinish;
    HICON m_hIcon = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
};
