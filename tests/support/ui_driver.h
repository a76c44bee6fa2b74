// Drives other windows the way a person would: finds them among the windows of
// a process, of a thread, or of every process, reads their texts and states,
// clicks and types, answers message boxes, and waits for each of these events.
// Setup's own pages are recognised on top of this in wizard_driver.h.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/scoped_handles.h"

// How long a wait lasts when the event it follows never comes: only a bound,
// as the waits end with their event.
inline constexpr int kEventTimeoutMs = 15000;

// Polls until the condition holds; false when it still does not at the end (a
// time of 0 looks once).
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = kEventTimeoutMs);

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
    // "running", "ended with N" or "did not start", for failure messages.
    std::string State() const;

private:
    ScopedHandle m_process;
    DWORD m_id = 0;
};

// The windows a wait looks at: visible top-level windows of one process, of
// one thread (pages run in the test process), or of every process (for the
// programs that the product starts itself).
using WindowSource = std::function<std::vector<HWND>()>;
WindowSource WindowsOfProcess(DWORD pid);
WindowSource WindowsOfThread(DWORD threadId);
WindowSource WindowsOfAllProcesses();
std::vector<HWND> TopWindowsOf(DWORD pid);

std::string WindowText(HWND hwnd);
std::string WindowClass(HWND hwnd);
// Every child window, all levels.
std::vector<HWND> ChildWindows(HWND parent);
std::string ControlText(HWND dialog, int id);
// The message text of a message box.
std::string MessageBoxText(HWND box);
bool IsMessageBox(HWND hwnd);
bool IsBoxWith(HWND hwnd, const std::string& fragment);

// The first window of the source that passes the test; null when none came in time.
HWND WaitFor(const WindowSource& windows, const std::function<bool(HWND)>& test, int timeoutMs = kEventTimeoutMs);
// A message box whose text holds the fragment.
HWND WaitForBox(const WindowSource& windows, const std::string& fragment, int timeoutMs = kEventTimeoutMs);
// Waits until the window is gone or hidden.
bool WaitGone(HWND hwnd, int timeoutMs = kEventTimeoutMs);

// A click on a button or check box, through its own mouse handling.
void Click(HWND dialog, int id);
// Ends the box or dialog with that button id, as the button's notification does.
void PressButton(HWND dialog, int id);
// Presses the box's button and waits until the box is gone.
bool Answer(HWND box, int button);
// The Escape key, pressed where the focus is.
void PressEscape(HWND dialog);
// The close box of the caption.
void PressCloseBox(HWND dialog);
// Keys pressed together on the keyboard (in order, released in reverse), with
// the dialog in front: the program sees the modifier keys held down.
void PressKeys(HWND dialog, std::initializer_list<WORD> keys);
// The text on the clipboard, "<none>" when it holds none.
std::string ClipboardText();
// Selects the edit's whole text and types the new text over it.
void TypeText(HWND dialog, int editId, const std::string& text);
bool IsChecked(HWND dialog, int id);
bool IsShown(HWND dialog, int id);
// Moves the mouse pointer to a screen point, as the hand on the mouse does.
void MovePointerTo(int x, int y);
// The centre of a control, in screen coordinates.
POINT CentreOf(HWND dialog, int id);
// Moves the window as dragging its caption does.
void DragWindowTo(HWND window, int x, int y);
RECT WindowRect(HWND window);
// Whether the window's centre is the centre of the work area the system reports (to the pixel).
::testing::AssertionResult CentredOnWorkArea(HWND window);
// A short pause for the other process to repaint before a screenshot.
void Settle(int ms = 150);

// Closes every editor window and waits for the editors to end.
void CloseEditorWindows();

// Sets (or, with a null value, removes) an environment variable of this test
// process, so that the programs it starts inherit it; restores it afterwards.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const char* name, const char* value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::string m_name;
    std::string m_saved;
    bool m_hadValue = false;
};

// Polls until no process runs from an executable of that name (e.g. "cmd.exe").
bool WaitProcessesEnded(const char* exeName, int timeoutMs = kEventTimeoutMs);

// The name the engine tests knew WaitFor by, for the windows of one process.
inline HWND WaitForWindow(DWORD pid, const std::function<bool(HWND)>& test, int timeoutMs = kEventTimeoutMs) {
    return WaitFor(WindowsOfProcess(pid), test, timeoutMs);
}
