#include "debug_message_dlg.h"

#include "debug_log.h"

void CDebugMessageDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Text(dx, IDC_EDIT, m_strMessages);
}

BOOL CDebugMessageDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_strMessages = g_strDebugLog;
    UpdateData(FALSE);
    return TRUE;
}
