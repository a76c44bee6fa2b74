// Drives another process's windows the way a person would: finds them, reads
// their texts and states, presses their buttons, answers their message boxes.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/scoped_handles.h"

// A process the test waits for and answers: one it starts itself, or one the
// program under test started (opened by id). Ends it if a failed test left it running.
class ChildProcess {
public:
    // Starts "exe" args in folder cwd (empty: inherited); extraEnv holds "NAME=value" entries.
    ChildProcess(const std::string& exe,
                 const std::string& args,
                 const std::string& cwd = "",
                 const std::vector<std::string>& extraEnv = {});
    explicit ChildProcess(DWORD pid);
    // The process that owns the window.
    static ChildProcess OfWindow(HWND hwnd);
    ~ChildProcess();
    ChildProcess(ChildProcess&&) noexcept = default;

    bool Started() const { return m_process.IsValid(); }
    DWORD Id() const { return m_id; }
    HANDLE Handle() const { return m_process.Get(); }
    // Exit code, or -1 when it did not end within the time.
    int WaitExit(int timeoutMs = 20000);
    bool Running() const;

private:
    ScopedHandle m_process;
    DWORD m_id = 0;
};

std::string WindowText(HWND hwnd);
std::string WindowClass(HWND hwnd);
std::vector<HWND> TopWindowsOf(DWORD pid);
// Enumeration callback (stdcall on 32-bit, so no lambda) that appends each
// visible window to the std::vector<HWND> passed as lp.
BOOL CALLBACK CollectVisibleWindow(HWND hwnd, LPARAM lp);
// Every child window, all levels.
std::vector<HWND> ChildWindows(HWND parent);
// Polls until a visible top-level window of the process satisfies the test.
HWND WaitForWindow(DWORD pid, const std::function<bool(HWND)>& test, int timeoutMs = 15000);
// A visible dialog of the process whose caption is title (empty: any) and that holds a control id (0: any).
HWND WaitForDialog(DWORD pid, const std::string& title, int controlId = 0, int timeoutMs = 15000);
// A message box of the process whose text contains the fragment.
HWND WaitForMessageBox(DWORD pid, const std::string& textFragment, int timeoutMs = 15000);
// The message text of a message box.
std::string MessageBoxText(HWND box);
bool IsMessageBox(HWND hwnd);
// Ends the box or dialog with that button id, as a click on it does.
void PressButton(HWND dialog, int id);
// A real click, through the button's own mouse handling.
void ClickButton(HWND dialog, int id);
// Waits until the window is gone.
bool WaitGone(HWND hwnd, int timeoutMs = 15000);
std::string ControlText(HWND dialog, int id);
// A short pause for the other process to repaint before a screenshot.
void Settle(int ms = 150);
