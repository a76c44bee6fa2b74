// Shown after the installation: says it succeeded and offers to start the
// editor, unless setup was told "notruneditor".
#pragma once
#include "framework/dialog.h"
#include "setup/controls/hover_button.h"
#include "setup/res/resource.h"

class CFinishPage : public CDialog {
public:
    CFinishPage() : CDialog(IDD_FINISH) {}

    CHoverButton m_btnFinish;
    int m_bRunProgram = 1;
    HICON m_hIcon = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
};
