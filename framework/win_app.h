// The one application object. WinMain calls InitInstance, then ExitInstance;
// the programs do all their work in InitInstance, so there is no message loop.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "afx_string.h"
#include "dialog_colours.h"

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return FALSE; }
    // Ends what the application started (the dialog colours of every thread);
    // the value is the program's exit code.
    virtual int ExitInstance();

    // Colours every dialog and message box of the calling thread until
    // ExitInstance or the end of the application object.
    void SetDialogBkColor(COLORREF background = RGB(255, 255, 255), COLORREF text = RGB(0, 0, 0));
    // Three-dimensional look of the controls (the system controls have it already).
    void Enable3dControls();

    HINSTANCE m_hInstance = nullptr;
    // The command-line tail: the text after the program's name and the blanks that follow it.
    CString m_lpCmdLine;
    // The program file's name without folder and extension; the caption of AfxMessageBox.
    CString m_strTitle;

private:
    void EndDialogColours();
    std::vector<std::unique_ptr<CDialogColours>> m_dialogColours;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();

// Text after the program name in a raw command line, as WinMain receives it.
CString CommandLineTail(const char* rawCommandLine);
// Program file name without folder and extension.
CString ProgramTitleFromPath(const char* modulePath);

// Message box with the programs' common rules: caption = program title; the
// exclamation icon is added when the caller names none and the buttons are
// OK, OK/Cancel, Yes/No or Yes/No/Cancel.
int AfxMessageBox(const char* text, UINT type = MB_OK);
UINT AfxMessageBoxFlags(UINT type);

// Full path of the running program file; empty on failure. Never truncated.
CString GetModulePath(HMODULE module = nullptr);
