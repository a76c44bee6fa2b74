// Runs setup.exe from a copy of the media as a separate process and walks its
// pages the way a person does.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "test_fs.h"
#include "ui_driver.h"

// True when a child control of the window shows text containing the fragment.
bool HasChildText(HWND window, const std::string& fragment);
// A dialog of the process (not a message box) that shows the text somewhere.
HWND WaitForPage(DWORD pid, const std::string& fragment, int timeoutMs = 15000);

inline constexpr char kWelcomeText[] = "Setup will install Brellic Pagewright";
inline constexpr char kAgreementText[] = "Please read the license terms";
inline constexpr char kInstallTypeText[] = "Please select an installation type";
inline constexpr char kDestinationText[] = "Please Choose the folder";
inline constexpr char kConfirmText[] = "Click Install to continue";
inline constexpr char kFinishText[] = "Setup has successfully installed";
inline constexpr char kInterruptedText[] = "Setup was interrupted";
inline constexpr char kQuitQuestion[] = "Are you sure you want to quit Brellic Pagewright installation?";

struct SetupOptions {
    std::string args;                  // command-line tail
    std::vector<std::string> env;      // extra "NAME=value" entries
    bool seamed = false;               // the test build that takes system facts from env
    std::string workingDir;            // empty: the media folder
};

class SetupRun {
public:
    // Starts setup.exe from mediaDir (a folder holding a copy of the media).
    SetupRun(const std::string& mediaDir, const SetupOptions& options = {});
    DWORD Pid() const { return m_process->Id(); }
    ChildProcess& Process() { return *m_process; }

    HWND Page(const std::string& fragment, int timeoutMs = 15000) { return WaitForPage(Pid(), fragment, timeoutMs); }
    HWND Box(const std::string& fragment, int timeoutMs = 15000) { return WaitForMessageBox(Pid(), fragment, timeoutMs); }
    // Presses a button of the page and waits for the page to close.
    bool Leave(HWND page, int buttonId);
    // Cancel on a page, Yes to the quit question, Finish on the interrupted page; true when the process ended with 0.
    bool QuitFrom(HWND page);
    // Finish on the interrupted page and the end of the process with code 0.
    bool FinishInterrupted();
    int WaitExit(int timeoutMs = 20000) { return m_process->WaitExit(timeoutMs); }

private:
    std::unique_ptr<ChildProcess> m_process;
};

// Copies the built media into a folder; the folder must exist.
bool CopyMedia(const std::string& to);
// Path of the seamed setup build.
std::string SeamedSetupPath();
