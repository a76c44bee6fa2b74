#include "wnd.h"

namespace {
const char kObjectProp[] = "FrameworkWndObject";
}

CWnd::~CWnd() {
    UnsubclassWindow();
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<CWnd*>(::GetPropA(hwnd, kObjectProp)) : nullptr;
}

BOOL CWnd::Attach(HWND hwnd) {
    if (!hwnd || m_hWnd || FromHandle(hwnd))
        return FALSE;
    if (!::SetPropA(hwnd, kObjectProp, this))
        return FALSE;
    m_hWnd = hwnd;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (hwnd && FromHandle(hwnd) == this)
        ::RemovePropA(hwnd, kObjectProp);
    m_hWnd = nullptr;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!Attach(hwnd))
        return FALSE;
    PreSubclassWindow();
    m_oldProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, HWND parent) {
    return SubclassWindow(::GetDlgItem(parent, static_cast<int>(id)));
}

void CWnd::UnsubclassWindow() {
    if (!m_hWnd)
        return;
    if (m_oldProc)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
    m_oldProc = nullptr;
    Detach();
}

LRESULT CWnd::Default(UINT msg, WPARAM wp, LPARAM lp) {
    return m_oldProc ? ::CallWindowProcA(m_oldProc, m_hWnd, msg, wp, lp) : ::DefWindowProcA(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    return Default(msg, wp, lp);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* self = FromHandle(hwnd);
    if (!self)
        return ::DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        WNDPROC old = self->m_oldProc;
        self->UnsubclassWindow();
        return old ? ::CallWindowProcA(old, hwnd, msg, wp, lp) : ::DefWindowProcA(hwnd, msg, wp, lp);
    }
    return self->WindowProc(msg, wp, lp);
}
