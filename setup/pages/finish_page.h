// Shown after the installation: says it succeeded and offers to start the
// editor, unless setup was told "notruneditor".
#pragma once
#include "setup/controls/hover_button.h"
#include "setup/res/resource.h"
#include "wizard_page.h"

class CFinishPage : public CWizardPage {
public:
    CFinishPage() : CWizardPage(IDD_FINISH) {}

    CHoverButton m_btnFinish;
    int m_bRunProgram = 1;
    HICON m_hIcon = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
};
