#include "accessible_progress_bar.h"

#include "accessible_proxy.h"

LRESULT CAccessibleProgressBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_GETOBJECT) {
        if (LRESULT answer = AnswerAccessibility(m_hWnd, AccessibleKind::ProgressBar, wp, lp))
            return answer;
    }
    return CWnd::WindowProc(msg, wp, lp);
}
