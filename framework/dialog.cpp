#include "dialog.h"

#include <vector>

#include "button.h"
#include "win_app.h"

CString GetWindowTextString(HWND hwnd) {
    int length = ::GetWindowTextLengthA(hwnd);
    if (length <= 0)
        return CString();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    int got = ::GetWindowTextA(hwnd, buffer.data(), static_cast<int>(buffer.size()));
    return CString(buffer.data(), got);
}

INT_PTR CDialog::DoModal() {
    INT_PTR result = ::DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), nullptr,
                                       &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

BOOL CDialog::Create() {
    HWND created = ::CreateDialogParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), nullptr,
                                        &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    return created != nullptr;
}

void CDialog::DestroyWindow() {
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

BOOL CDialog::UpdateData(BOOL save) {
    CDataExchange dx(this, save);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::EndDialog(int result) {
    ::EndDialog(m_hWnd, result);
}

void CDialog::CenterWindow() {
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;
    int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    RECT work;
    if (::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
        if (x + width > work.right)
            x = work.right - width;
        if (x < work.left)
            x = work.left;
        if (y + height > work.bottom)
            y = work.bottom - height;
        if (y < work.top)
            y = work.top;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CDialog::MessageBox(const char* text, const char* caption, UINT type) {
    return ::MessageBoxA(m_hWnd, text, caption, type);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCommand(int id, int) {
    switch (id) {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = dynamic_cast<CDialog*>(CWnd::FromHandle(hwnd));
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lp);
        if (!self->Attach(hwnd)) {
            ::EndDialog(hwnd, -1);
            return FALSE;
        }
        RECT before;
        ::GetWindowRect(hwnd, &before);
        BOOL result = self->OnInitDialog();
        // A dialog that did not place itself opens centred, where a person looks first.
        RECT after;
        ::GetWindowRect(hwnd, &after);
        if (::IsWindow(hwnd) && ::EqualRect(&before, &after) && !::GetWindow(hwnd, GW_OWNER))
            self->CenterWindow();
        return result;
    }
    if (!self)
        return FALSE;  // messages that arrive before WM_INITDIALOG (WM_SETFONT)
    if (msg == WM_NCDESTROY) {
        self->Detach();
        return FALSE;
    }
    return self->HandleMessage(msg, wp, lp);
}

INT_PTR CDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    INT_PTR result = 0;
    if (OnMessage(msg, wp, lp, &result))
        return result;
    switch (msg) {
        case WM_COMMAND:
            return OnCommand(LOWORD(wp), HIWORD(wp));
        case WM_MOVE:
            OnMove(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
            return FALSE;
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<LPDRAWITEMSTRUCT>(lp);
            if (auto* button = dynamic_cast<CButton*>(CWnd::FromHandle(item->hwndItem))) {
                button->DrawItem(item);
                return TRUE;
            }
            return FALSE;
        }
    }
    return FALSE;
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    HWND control = dx->m_pDlgWnd->GetDlgItem(id);
    if (dx->m_bSaveAndValidate)
        value = GetWindowTextString(control);
    else
        ::SetWindowTextA(control, value);
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    HWND control = dx->m_pDlgWnd->GetDlgItem(id);
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(control, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (!control.m_hWnd)
        control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd->m_hWnd);
}
