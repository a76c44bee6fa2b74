#include "accessible_picture.h"

#include "accessible_proxy.h"

LRESULT CAccessiblePicture::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_GETOBJECT) {
        if (LRESULT answer = AnswerAccessibility(m_hWnd, AccessibleKind::Picture, wp, lp, m_strWords))
            return answer;
    }
    return CWnd::WindowProc(msg, wp, lp);
}
