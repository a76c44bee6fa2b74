// Drives setup's wizard pages the way a person would: recognises each page by
// its controls, clicks, types, presses Escape or the close box, drags, and
// answers message boxes. Works on a setup process started from a copy of the
// media (SetupRun) and on pages run in the test process by a ModalThread.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "modal_thread.h"
#include "test_fs.h"
#include "ui_driver.h"

enum class Page {
    Welcome,
    Agreement,
    InstallType,
    Destination,
    Confirm,
    Progress,
    Finish,
    Interrupted,
    DebugMessage,
    None
};
const char* PageName(Page page);
// Which of setup's dialogs the window is; None for anything else.
Page PageOf(HWND hwnd);

using WindowSource = std::function<std::vector<HWND>()>;
WindowSource WindowsOfProcess(DWORD pid);
WindowSource WindowsOfThread(const ModalThread& thread);

HWND WaitFor(const WindowSource& windows, const std::function<bool(HWND)>& test, int timeoutMs = 15000);
HWND WaitForPage(const WindowSource& windows, Page page, int timeoutMs = 15000);
// A message box whose text holds the fragment.
HWND WaitForBox(const WindowSource& windows, const std::string& fragment, int timeoutMs = 15000);
// The page or box currently shown, for failure messages.
std::string DescribeWindows(const WindowSource& windows);

// A click on a button or check box (through its own mouse handling).
void Click(HWND dialog, int id);
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
// Presses the box's button and waits until the box is gone.
bool Answer(HWND box, int button);
// Clicks the page's button and waits until the page is gone; clicks once more
// if a loaded machine lost the first click.
bool ClickAndLeave(HWND page, int button, int timeoutMs = 15000);

inline constexpr char kQuitQuestionText[] = "Are you sure you want to quit Brellic Pagewright installation?";

struct SetupOptions {
    std::string args;              // command-line tail
    std::vector<std::string> env;  // extra "NAME=value" entries
    bool seamed = false;           // the test build that takes system facts from env
    std::string workingDir;        // empty: the media folder
};

// setup.exe started from a folder holding a copy of the media.
class SetupRun {
public:
    SetupRun(const std::string& mediaDir, const SetupOptions& options = {});
    DWORD Pid() const { return m_process.Id(); }
    ChildProcess& Process() { return m_process; }
    WindowSource Windows() const { return WindowsOfProcess(Pid()); }

    HWND WaitPage(Page page, int timeoutMs = 15000) const { return WaitForPage(Windows(), page, timeoutMs); }
    HWND Box(const std::string& fragment, int timeoutMs = 15000) const {
        return WaitForBox(Windows(), fragment, timeoutMs);
    }
    // Cancel on a page, Yes to the quit question, Finish on the interrupted page; true when the process ended with 0.
    bool QuitFrom(HWND page);
    // Finish on the interrupted page and the end of the process with code 0.
    bool FinishInterrupted();
    int WaitExit(int timeoutMs = 20000) { return m_process.WaitExit(timeoutMs); }

private:
    ChildProcess m_process;
};

// Copies the built media into a folder; the folder must exist.
bool CopyMedia(const std::string& to);
std::string SeamedSetupPath();
