// Modal dialog run from a dialog template, with data exchange between controls
// and members. Handlers are virtual: OnInitDialog, OnOK (save controls, end with
// IDOK), OnCancel (end with IDCANCEL), OnCommand for other ids, OnMove after the
// default processing of WM_MOVE, and OnMessage for anything else.
#pragma once
#include <windows.h>

#include "afx_string.h"
#include "wnd.h"

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL save) : m_pDlgWnd(dialog), m_bSaveAndValidate(save) {}
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// The dialog's window is bound to the object (CWnd::FromHandle finds it) from
// WM_INITDIALOG until WM_NCDESTROY, so the object can be run again.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId) : m_nIDTemplate(templateId) {}

    // Runs the dialog; returns the code given to EndDialog, or -1 if it could not be created.
    virtual INT_PTR DoModal();
    // Creates the dialog without running it (the caller's loop dispatches its
    // messages), hidden unless its template says visible; FALSE if it could not be created.
    BOOL Create();
    // Ends a dialog made with Create.
    void DestroyWindow();
    BOOL UpdateData(BOOL save = TRUE);
    void EndDialog(int result);
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    // Centres on the screen, kept inside the work area.
    void CenterWindow();
    int MessageBox(const char* text, const char* caption, UINT type);

    UINT m_nIDTemplate;

protected:
    virtual void DoDataExchange(CDataExchange*) {}
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Return TRUE when the command was handled.
    virtual BOOL OnCommand(int id, int notifyCode);
    virtual void OnMove(int, int) {}
    // Return TRUE and fill result to handle a message before the defaults.
    virtual BOOL OnMessage(UINT, WPARAM, LPARAM, INT_PTR*) { return FALSE; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
};

void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

// Text of a window of any length.
CString GetWindowTextString(HWND hwnd);
