// The one application object. The framework's WinMain calls InitInstance and,
// since the programs do all their work there and return FALSE, never runs a loop.
#pragma once
#include <windows.h>

#include "afx_string.h"

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return FALSE; }

    // Colours every dialog and message box of this thread from now on.
    void SetDialogBkColor(COLORREF background = RGB(255, 255, 255), COLORREF text = RGB(0, 0, 0));
    // Three-dimensional look of the controls (the system controls have it already).
    void Enable3dControls();

    HINSTANCE m_hInstance = nullptr;
    // The command-line tail: the text after the program's name and the blanks that follow it.
    CString m_lpCmdLine;
    // The program file's name without folder and extension; the caption of framework message boxes.
    CString m_strTitle;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();

// Text after the program name in a raw command line, as WinMain receives it.
CString CommandLineTail(const char* rawCommandLine);
// Program file name without folder and extension.
CString ProgramTitleFromPath(const char* modulePath);

// Message box with the framework's rules: caption = program title; the
// exclamation icon is added when the caller names none and the buttons are
// OK, OK/Cancel, Yes/No or Yes/No/Cancel.
int AfxMessageBox(const char* text, UINT type = MB_OK);
UINT AfxMessageBoxFlags(UINT type);

// Full path of the running program file; empty on failure. Never truncated.
CString GetModulePath(HMODULE module = nullptr);
