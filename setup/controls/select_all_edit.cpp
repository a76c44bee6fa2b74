#include "select_all_edit.h"

#include "accessible_proxy.h"

LRESULT CSelectAllEdit::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    bool control = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    if (msg == WM_KEYDOWN && wp == 'A' && control) {
        ::SendMessageA(m_hWnd, EM_SETSEL, 0, -1);
        return 0;
    }
    // The character Ctrl+A makes would only beep.
    if (msg == WM_CHAR && wp == 1)
        return 0;
    if (msg == WM_GETOBJECT) {
        if (LRESULT answer = AnswerAccessibility(m_hWnd, AccessibleKind::ReadOnlyText, wp, lp))
            return answer;
    }
    return CWnd::WindowProc(msg, wp, lp);
}
