// The command-line switches of both programs and the exit codes an unattended
// run ends with. Plain C++: parsing is a rule, tested directly.
#pragma once
#include "framework/afx_string.h"

// The numbers deployment tools already read.
enum ExitCode : int {
    kExitSuccess = 0,
    kExitCancelled = 1602,
    kExitFailed = 1603,
    kExitAlreadyRunning = 1618,
    kExitBadCommandLine = 1639,
};

// "success", "cancelled by the user", ... for the log's result line.
const char* ExitCodeMeaning(int code);

enum class UiLevel {
    Full,     // the wizard, as without any switch
    Passive,  // only the progress window, no question
    Silent,   // no window at all
};

enum class InstallScope {
    Default,      // from the user's rights, asking a standard user
    AllUsers,     // refused without administrator rights
    CurrentUser,  // for this user even as an administrator
};

struct RunOptions {
    UiLevel ui = UiLevel::Full;
    InstallScope scope = InstallScope::Default;
    bool noDesktop = false;
    bool noStartMenu = false;
    bool run = false;
    bool help = false;
    bool log = false;
    CString logFile;     // empty: a name of the program's own in the temporary folder
    CString installDir;  // empty: the usual destination
    CString badSwitch;   // the first switch not understood, as given
};

// Setup's switches: /S /quiet /VERYSILENT, /passive /SILENT, /D=<path> (last,
// unquoted, blanks allowed), /DIR="<path>", /NODESKTOP, /NOSTARTMENU, /RUN,
// /LOG[="file"], /ALLUSERS, /CURRENTUSER, /NORESTART, /? and /help. Names are
// case-insensitive and start with / or -. Words without either (the "autorun"
// and "notruneditor" tails) are left to their own rules.
RunOptions ParseSetupSwitches(const CString& tail);

// The uninstaller's: /S /quiet /VERYSILENT and /LOG[="file"], at the start of
// the tail. Its removal run takes the installation folder after them: rest is
// the tail from the first word that is not a switch on, as given.
RunOptions ParseUninstallSwitches(const CString& tail, CString* rest = nullptr);

// The text of the help box: switches and exit codes.
CString SetupHelpText();
