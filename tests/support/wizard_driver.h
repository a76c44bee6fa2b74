// Setup's wizard pages on top of ui_driver.h: recognises each page by its
// controls, walks from page to page, and starts setup from a copy of the
// media (SetupRun). Pages run in the test process by a ModalThread are found
// through WindowsOfThread.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
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

inline WindowSource WindowsOfThread(const ModalThread& thread) {
    return WindowsOfThread(thread.ThreadId());
}

HWND WaitForPage(const WindowSource& windows, Page page, int timeoutMs = kEventTimeoutMs);
// The page or box currently shown, for failure messages.
std::string DescribeWindows(const WindowSource& windows);

// Clicks the page's button and waits until the page is gone; clicks once more
// if a loaded machine lost the first click.
bool ClickAndLeave(HWND page, int button, int timeoutMs = kEventTimeoutMs);

inline constexpr char kQuitQuestionText[] = "Are you sure you want to quit Brellic Pagewright installation?";

struct SetupOptions {
    std::string args;              // command-line tail
    std::vector<std::string> env;  // extra "NAME=value" entries
    bool seamed = false;           // the test build that takes system facts from env
    std::string workingDir;        // empty: the media folder
};

// A run's waits end with their event: the window comes, or the process ends
// without it. The bound only stops a run that hangs.
inline constexpr int kSetupTimeoutMs = 60000;

// setup.exe started from a folder holding a copy of the media, once no
// earlier run holds the lock that turns a second run away.
class SetupRun {
public:
    SetupRun(const std::string& mediaDir, const SetupOptions& options = {});
    DWORD Pid() const { return m_process.Id(); }
    ChildProcess& Process() { return m_process; }
    WindowSource Windows() const { return WindowsOfProcess(Pid()); }

    // The first window of the run that passes the test; null when the run
    // ended (or the bound passed) without one.
    HWND Await(const std::function<bool(HWND)>& test, int timeoutMs = kSetupTimeoutMs) const;
    HWND WaitPage(Page page, int timeoutMs = kSetupTimeoutMs) const;
    HWND Box(const std::string& fragment, int timeoutMs = kSetupTimeoutMs) const;
    // The process's state and the windows it shows, for failure messages.
    std::string Describe() const;
    // Cancel on a page, Yes to the quit question, Finish on the interrupted page; true when the process ended with 0.
    bool QuitFrom(HWND page);
    // Finish on the interrupted page and the end of the process with code 0.
    bool FinishInterrupted();
    int WaitExit(int timeoutMs = kSetupTimeoutMs) { return m_process.WaitExit(timeoutMs); }

private:
    ChildProcess m_process;
};

// Waits until no run of setup or uninstall holds their common lock.
bool WaitSingleRunFree(int timeoutMs = kSetupTimeoutMs);
// Copies the built media into a folder; the folder must exist.
bool CopyMedia(const std::string& to);
std::string SeamedSetupPath();
