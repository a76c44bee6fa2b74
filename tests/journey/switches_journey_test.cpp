// Every switch the README gives deployment tools, run end to end, one row each,
// with its effect read back from the machine: files, links, registry, the log,
// the windows shown, the editor started.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "common/shell_folders.h"
#include "journey.h"
#include "test_fs.h"
#include "test_places.h"

namespace {
enum class Program { Setup, SlowSetup, Uninstaller };
enum class Before { Nothing, Installed, InstalledAndLocked, UnusableEarlierFolder };
// The windows the run shows, and how the person in front of it answers them.
enum class Shown { Nothing, ProgressOnly, HelpBox, Wizard };
// Where the editor is afterwards; its Uninstall entry is under that place's root.
enum class Where { Nowhere, Default, Chosen, ForThisUser };
enum class Links { None, Both, DesktopOnly };
enum class Editor { NotStarted, Started };
enum class Log { None, Given, DefaultName };

struct Row {
    Before before;
    Program program;
    std::string args;
    int exitCode;
    Shown shown;
    Where installed;
    Links links;
    Editor editor;
    Log log;
    std::string logLine;  // besides the result line every log ends with
};

constexpr char kLockName[] = "Global\\Brellic Pagewright Setup and Uninstall";

// "2026-12-09 01-05-11", as the default log names carry the local time.
std::string StampNow() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u-%02u-%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return text;
}

std::set<std::string> LogsInTemp() {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((TempFolderPath() + "Brellic Pagewright *.log").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.insert(found.cFileName);
    while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return names;
}

std::string Joined(const std::set<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += name + "\n";
    return text;
}

std::vector<HWND> MessageBoxesOfAnyProcess() {
    std::vector<HWND> boxes;
    for (HWND hwnd : WindowsOfAllProcesses()())
        if (IsMessageBox(hwnd))
            boxes.push_back(hwnd);
    return boxes;
}

// Waits for the end of the run and names every window it shows: its own, and
// any message box, which the uninstaller's removal run would show as another process.
int WatchRun(ChildProcess& process, Shown shown, std::set<std::string>& seen, std::string& boxText) {
    DWORD start = ::GetTickCount();
    int code = -1;
    while ((code = process.WaitExit(50)) == -1 && ::GetTickCount() - start < 60000) {
        std::vector<HWND> windows = TopWindowsOf(process.Id());
        for (HWND box : MessageBoxesOfAnyProcess())
            windows.push_back(box);
        for (HWND hwnd : windows) {
            bool box = IsMessageBox(hwnd);
            std::string name = box                          ? "message box"
                               : PageOf(hwnd) != Page::None ? PageName(PageOf(hwnd))
                                                            : WindowClass(hwnd) + " \"" + WindowText(hwnd) + "\"";
            std::string text = box ? MessageBoxText(hwnd) : "";
            // A window closed while it was read may have answered with nothing.
            if (!::IsWindowVisible(hwnd))
                continue;
            seen.insert(name);
            if (box)
                boxText = text;
            if (box && shown == Shown::HelpBox)
                PressButton(hwnd, IDOK);
        }
    }
    return code;
}

class Switches : public Journey {
protected:
    // Blanks and a letter outside ASCII in every value, in both quotings.
    const std::string chosen = kCompanyFolder +
                               "\\Chosen Pl\xe4"
                               "ce";
    const std::string forThisUser =
        GetSpecialFolderPath(CSIDL_LOCAL_APPDATA).str() + "\\Programs\\Brellic Software\\Pagewright";
    const std::string givenLog = TempFolderPath() + "switches j\xf6urney.log";

    std::string FolderOf(Where where) const {
        switch (where) {
            case Where::Default:
                return kDefaultFolder;
            case Where::Chosen:
                return chosen;
            case Where::ForThisUser:
                return forThisUser;
            case Where::Nowhere:
                break;
        }
        return "";
    }

    void Prepare(Before before) {
        if (before == Before::UnusableEarlierFolder) {
            // An earlier installation recorded at a drive root, which no removal may ever walk.
            ASSERT_TRUE(RegWriteRaw(HKEY_LOCAL_MACHINE, kProductKey, kSetupPathValue, REG_SZ, "C:\\", 4));
        } else if (before != Before::Nothing) {
            ChildProcess install(media / "setup.exe", "/S", media.Path());
            ASSERT_EQ(install.WaitExit(60000), 0);
        }
    }

    void Check(const Row& row);
    void CleanUp(const std::set<std::string>& logsBefore) {
        CloseEditors();
        CleanMachine();
        ::DeleteFileA(givenLog.c_str());
        for (const std::string& name : LogsInTemp())
            if (!logsBefore.count(name))
                ::DeleteFileA((TempFolderPath() + name).c_str());
        EXPECT_TRUE(WaitOwnTempFoldersGone());
    }
};

void Switches::Check(const Row& row) {
    // Files, and the registry of the one root the installation belongs to.
    for (Where where : {Where::Default, Where::Chosen, Where::ForThisUser}) {
        EXPECT_EQ(FileExists(FolderOf(where) + "\\Scrivo.exe"), row.installed == where) << FolderOf(where);
        EXPECT_EQ(FileExists(FolderOf(where) + "\\uninstall.exe"), row.installed == where) << FolderOf(where);
    }
    EXPECT_FALSE(FileExists("C:\\Scrivo.exe"));
    bool machine = row.installed == Where::Default || row.installed == Where::Chosen;
    bool user = row.installed == Where::ForThisUser;
    EXPECT_EQ(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), machine);
    EXPECT_EQ(RegKeyExists(HKEY_CURRENT_USER, kUninstallKey), user);
    EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, kProductKey, kSetupPathValue),
              machine ? FolderOf(row.installed) + "\\" : "<absent>");
    EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, kProductKey, kSetupPathValue),
              user ? FolderOf(row.installed) + "\\" : "<absent>");

    // Links: the group where the installation's root keeps it, none in the other place.
    std::string machineGroup = GetSpecialFolderPath(CSIDL_COMMON_PROGRAMS).str() + "\\Brellic Pagewright";
    std::string userGroup = GetSpecialFolderPath(CSIDL_PROGRAMS).str() + "\\Brellic Pagewright";
    EXPECT_EQ(FileExists(machineGroup + "\\Uninstall.lnk"), row.links == Links::Both && !user);
    EXPECT_EQ(FileExists(userGroup + "\\Uninstall.lnk"), row.links == Links::Both && user);
    EXPECT_EQ(FileExists(DesktopLink()), row.links != Links::None);

    // The editor's window is up before setup ends, or not at all.
    if (row.editor == Editor::Started) {
        HWND editor = nullptr;
        for (int i = 0; i < 100 && !(editor = ::FindWindowA(nullptr, kEditorWindowTitle)); ++i)
            ::Sleep(50);
        EXPECT_TRUE(editor) << "the editor was started";
    } else {
        EXPECT_FALSE(::FindWindowA(nullptr, kEditorWindowTitle)) << "the editor was started";
    }
}

}  // namespace

// One row per switch; the rows share the media copy and leave the machine
// clean for each other, so they run in any order.
TEST_F(Switches, EachSwitchDoesWhatTheReadmeSays) {
    const std::string given = " /LOG=\"" + givenLog + "\"";
    char shortened[MAX_PATH] = {};
    ASSERT_TRUE(::GetShortPathNameA(ProgramFilesFolder().c_str(), shortened, MAX_PATH));
    const std::string shortProgramFiles = shortened;
    const std::vector<Row> rows = {
        // Setup's switches.
        {Before::Nothing, Program::Setup, "/quiet", 0, Shown::Nothing, Where::Default, Links::Both, Editor::NotStarted,
         Log::None, ""},
        {Before::Nothing, Program::Setup, "/VERYSILENT", 0, Shown::Nothing, Where::Default, Links::Both,
         Editor::NotStarted, Log::None, ""},
        {Before::Nothing, Program::SlowSetup, "/SILENT", 0, Shown::ProgressOnly, Where::Default, Links::Both,
         Editor::NotStarted, Log::None, ""},
        {Before::Nothing, Program::Setup, "/S /NOSTARTMENU", 0, Shown::Nothing, Where::Default, Links::DesktopOnly,
         Editor::NotStarted, Log::None, ""},
        {Before::Nothing, Program::Setup, "/S /RUN", 0, Shown::Nothing, Where::Default, Links::Both, Editor::Started,
         Log::None, ""},
        {Before::Nothing, Program::Setup, "/S /DIR=\"" + chosen + "\"", 0, Shown::Nothing, Where::Chosen, Links::Both,
         Editor::NotStarted, Log::None, ""},
        // Quoted whole, as tools that quote every argument pass them: the value keeps its blanks.
        {Before::Nothing, Program::Setup, "\"/DIR=" + chosen + "\" /S \"/LOG=" + givenLog + "\"", 0, Shown::Nothing,
         Where::Chosen, Links::Both, Editor::NotStarted, Log::Given, "destination: "},
        {Before::Nothing, Program::Setup, "/S /CURRENTUSER", 0, Shown::Nothing, Where::ForThisUser, Links::Both,
         Editor::NotStarted, Log::None, ""},
        {Before::Nothing, Program::Setup, "/S /ALLUSERS", 0, Shown::Nothing, Where::Default, Links::Both,
         Editor::NotStarted, Log::None, ""},
        {Before::Nothing, Program::Setup, "/S /NORESTART", 0, Shown::Nothing, Where::Default, Links::Both,
         Editor::NotStarted, Log::None, ""},
        {Before::Nothing, Program::Setup, "/help", 0, Shown::HelpBox, Where::Nowhere, Links::None, Editor::NotStarted,
         Log::None, ""},
        // A person's run writes the log too, to its end.
        {Before::Nothing, Program::Setup, given, 0, Shown::Wizard, Where::Default, Links::Both, Editor::Started,
         Log::Given, "exit setup!\r\n"},
        {Before::Nothing, Program::Setup, "/S /LOG", 0, Shown::Nothing, Where::Default, Links::Both, Editor::NotStarted,
         Log::DefaultName, "command line: /S /LOG\r\n"},
        {Before::Installed, Program::Setup, "/S" + given + " /D=" + chosen, 0, Shown::Nothing, Where::Default,
         Links::Both, Editor::NotStarted, Log::Given, "the destination given is ignored"},
        // The destination page's rule, on the folder as the system resolves it.
        {Before::Nothing, Program::Setup, "/S" + given + " /D=" + shortProgramFiles, 1639, Shown::Nothing,
         Where::Nowhere, Links::None, Editor::NotStarted, Log::Given, "cannot be used"},
        {Before::UnusableEarlierFolder, Program::Setup, "/S" + given, 0, Shown::Nothing, Where::Default, Links::Both,
         Editor::NotStarted, Log::Given, "the earlier installation's folder C:\\ cannot be used"},
        // The uninstaller's.
        {Before::Installed, Program::Uninstaller, "/quiet", 0, Shown::Nothing, Where::Nowhere, Links::None,
         Editor::NotStarted, Log::None, ""},
        {Before::Installed, Program::Uninstaller, "/VERYSILENT", 0, Shown::Nothing, Where::Nowhere, Links::None,
         Editor::NotStarted, Log::None, ""},
        {Before::Installed, Program::Uninstaller, "/S" + given + " /BOGUS", 1639, Shown::Nothing, Where::Default,
         Links::Both, Editor::NotStarted, Log::Given, "/BOGUS"},
        {Before::InstalledAndLocked, Program::Uninstaller, "/S", 1618, Shown::Nothing, Where::Default, Links::Both,
         Editor::NotStarted, Log::None, ""},
        {Before::Installed, Program::Uninstaller, "\"/S\" \"/LOG=" + givenLog + "\"", 0, Shown::Nothing, Where::Nowhere,
         Links::None, Editor::NotStarted, Log::Given, "Brellic Pagewright-"},
        // One log for both runs: the removal run's own lines name its temporary folder.
        {Before::Installed, Program::Uninstaller, "/S /LOG", 0, Shown::Nothing, Where::Nowhere, Links::None,
         Editor::NotStarted, Log::DefaultName, "Brellic Pagewright-"},
    };
    for (const Row& row : rows) {
        const char* program = row.program == Program::Uninstaller ? "uninstall.exe" : "setup.exe";
        SCOPED_TRACE(std::string(program) + " " + row.args);
        std::set<std::string> logsBefore = LogsInTemp();
        Prepare(row.before);
        if (HasFatalFailure())
            return;
        ScopedHandle lock;
        if (row.before == Before::InstalledAndLocked) {
            lock.Reset(::CreateMutexA(nullptr, TRUE, kLockName));
            ASSERT_TRUE(lock.IsValid());
        }

        std::string startedAt = StampNow();
        std::set<std::string> seen;
        std::string boxText;
        int code = -1;
        if (row.program == Program::Uninstaller) {
            ChildProcess run(kDefaultFolder + "\\uninstall.exe", row.args, media.Path());
            code = WatchRun(run, row.shown, seen, boxText);
        } else if (row.shown == Shown::Wizard) {
            SetupOptions options;
            options.args = row.args;
            SetupRun run(media.Path(), options);
            HWND finish = WalkToFinish(run);
            EXPECT_TRUE(finish) << DescribeWindows(run.Windows());
            if (finish)
                Click(finish, IDOK);
            code = run.WaitExit(30000);
        } else {
            SetupOptions options;
            options.args = row.args;
            if (row.program == Program::SlowSetup) {
                // Slow enough for the progress window to be seen by a poll.
                options.seamed = true;
                options.env = {"BRELLIC_TEST_COPY_PAUSE_MS=100"};
            }
            SetupRun run(media.Path(), options);
            code = WatchRun(run.Process(), row.shown, seen, boxText);
        }
        std::string endedAt = StampNow();
        if (lock.IsValid())
            ::ReleaseMutex(lock.Get());

        EXPECT_EQ(code, row.exitCode);
        switch (row.shown) {
            case Shown::Nothing:
                EXPECT_TRUE(seen.empty()) << Joined(seen);
                break;
            case Shown::ProgressOnly:
                EXPECT_EQ(seen, std::set<std::string>{"progress"});
                break;
            case Shown::HelpBox:
                EXPECT_EQ(seen, std::set<std::string>{"message box"});
                for (const char* listed : {"/S",    "/quiet",    "/VERYSILENT",  "/passive",     "/SILENT",
                                           "/D=",   "/DIR=",     "/NODESKTOP",   "/NOSTARTMENU", "/RUN",
                                           "/LOG",  "/ALLUSERS", "/CURRENTUSER", "/NORESTART",   "/?",
                                           "/help", "1602",      "1603",         "1618",         "1639"})
                    EXPECT_NE(boxText.find(listed), std::string::npos) << listed << " is not in:\n" << boxText;
                break;
            case Shown::Wizard:
                break;
        }
        Check(row);

        // The log: where it was asked for, under its default name otherwise, or none.
        std::set<std::string> newLogs;
        for (const std::string& name : LogsInTemp())
            if (!logsBefore.count(name))
                newLogs.insert(name);
        EXPECT_EQ(FileExists(givenLog), row.log == Log::Given);
        std::string text;
        if (row.log == Log::Given) {
            text = ReadFileText(givenLog);
            EXPECT_TRUE(newLogs.empty()) << Joined(newLogs);
        } else if (row.log == Log::DefaultName && newLogs.size() == 1) {
            // "Brellic Pagewright Setup 2026-12-09 01-05-11.log", stamped while the run ran.
            std::string name = *newLogs.begin();
            std::string prefix =
                row.program == Program::Uninstaller ? "Brellic Pagewright Uninstall " : "Brellic Pagewright Setup ";
            std::string stamp = name.substr(std::min(name.size(), prefix.size()), startedAt.size());
            EXPECT_EQ(name, prefix + stamp + ".log");
            EXPECT_GE(stamp, startedAt);
            EXPECT_LE(stamp, endedAt);
            text = ReadFileText(TempFolderPath() + name);
        } else {
            EXPECT_EQ(newLogs.size(), row.log == Log::DefaultName ? 1u : 0u) << Joined(newLogs);
        }
        if (row.log != Log::None) {
            EXPECT_NE(text.find(row.logLine), std::string::npos) << row.logLine << " is not in:\n" << text;
            std::string result = "result: " + std::to_string(row.exitCode) + " ";
            EXPECT_NE(text.find(result), std::string::npos) << result << " is not in:\n" << text;
        }
        CleanUp(logsBefore);
    }
}
