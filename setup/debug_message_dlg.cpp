#include "debug_message_dlg.h"

#include "debug_log.h"
#include "pages/page_frame.h"

void CDebugMessageDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_EDIT, m_editMessages);
    DDX_Text(dx, IDC_EDIT, m_strMessages);
}

BOOL CDebugMessageDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The report takes the place of the page the failure ended.
    PlaceWhereLastPageWas(*this);
    m_strMessages = g_strDebugLog;
    UpdateData(FALSE);
    return TRUE;
}
