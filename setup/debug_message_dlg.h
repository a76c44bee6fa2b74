// Shows the whole diagnostic log, preamble first, read-only.
#pragma once
#include "controls/select_all_edit.h"
#include "framework/dialog.h"
#include "res/resource.h"

class CDebugMessageDlg : public CDialog {
public:
    CDebugMessageDlg() : CDialog(IDD_DEBUGMESSAGE) {}
    CString m_strMessages;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    CSelectAllEdit m_editMessages;
};
