// Shown when setup is abandoned before anything was installed.
#pragma once
#include "framework/dialog.h"
#include "setup/controls/hover_button.h"
#include "setup/res/resource.h"

class CInterruptedPage : public CDialog {
public:
    CInterruptedPage() : CDialog(IDD_INTERRUPTED) {}

    CHoverButton m_btnFinish;
    HICON m_hIcon = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
};
