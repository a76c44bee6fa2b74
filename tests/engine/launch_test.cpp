// Starting the installed editor and waiting for its window.
#include <string>
#include <vector>

#include "common/ordinary_rights.h"
#include "common/product_catalogue.h"
#include "engine_fixture.h"
#include "process_startup.h"
#include "shell_window.h"
#include "ui_driver.h"

namespace {
// Closes every editor window and waits for its process.
void CloseEditors() {
    while (HWND window = ::FindWindowA(nullptr, kEditorWindowTitle)) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        if (process) {
            ::WaitForSingleObject(process, 10000);
            ::CloseHandle(process);
        }
        WaitGone(window, 5000);
    }
}

class Launch : public EngineTest {
protected:
    std::string dest = scratch / "Page wright\\";
    void SetUp() override {
        ProvideShellWindow();
        CloseEditors();
        ::CreateDirectoryA(dest.c_str(), nullptr);
        ASSERT_TRUE(CopyOneFile(std::string(TEST_MEDIA_DIR) + "\\Scrivo.ex_", dest + "Scrivo.exe"));
    }
    void TearDown() override {
        ::SetEnvironmentVariableA("SCRIVO_WINDOW_DELAY_MS", nullptr);
        CloseEditors();
    }
    DWORD TimedRun() {
        DWORD start = ::GetTickCount();
        engine.RunProgram();
        return ::GetTickCount() - start;
    }
};
}  // namespace

TEST_F(Launch, CommandLineIsQuotedAndTheFolderEndsWithABackslash) {
    app.m_strInstallDir = dest.substr(0, dest.size() - 1).c_str();
    CString commandLine;
    CString folder;
    engine.RepairRunexe(commandLine, folder);
    EXPECT_EQ(commandLine, ("\"" + dest + "Scrivo.exe\"").c_str());
    EXPECT_EQ(folder, dest.c_str());
    EXPECT_EQ(app.m_strInstallDir, dest.c_str());
    EXPECT_EQ(Log(), "start RepairRunexe(, )\r\nexit RepairRunexe()\r\n");
}

TEST_F(Launch, LateWindowEndsTheWaitEarly) {
    app.m_strInstallDir = dest.c_str();
    ::SetEnvironmentVariableA("SCRIVO_WINDOW_DELAY_MS", "350");
    DWORD elapsed = TimedRun();
    EXPECT_GE(elapsed, 350u);
    EXPECT_LT(elapsed, 1800u) << "the wait should end at the window, not after 2 s";

    HWND window = ::FindWindowA(nullptr, kEditorWindowTitle);
    ASSERT_TRUE(window);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    ProcessStartup startup;
    ASSERT_TRUE(ReadProcessStartup(pid, &startup));
    EXPECT_EQ(startup.commandLine, "\"" + dest + "Scrivo.exe\"");
    EXPECT_EQ(startup.currentDirectory, dest);
    EXPECT_EQ(Log(), "start RunProgram()\r\nstart RepairRunexe(, )\r\nexit RepairRunexe()\r\nexit RunProgram()\r\n");
}

TEST_F(Launch, NoWindowMeansTwentySleepsAndAReturn) {
    ASSERT_FALSE(::FindWindowA(nullptr, kEditorWindowTitle));
    app.m_strInstallDir = (scratch / "empty\\").c_str();
    DWORD elapsed = TimedRun();
    EXPECT_GE(elapsed, 1950u);
    EXPECT_LT(elapsed, 4000u);
    EXPECT_FALSE(::FindWindowA(nullptr, kEditorWindowTitle));
}

namespace {
// The user and elevation of a running process's token; false when it cannot be read.
bool ReadProcessToken(DWORD pid, std::vector<BYTE>* userSid, TOKEN_ELEVATION_TYPE* elevation) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return false;
    HANDLE token = nullptr;
    bool ok = ::OpenProcessToken(process, TOKEN_QUERY, &token);
    ::CloseHandle(process);
    if (!ok)
        return false;
    BYTE buffer[512];
    DWORD size = 0;
    ok = ::GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
         ::GetTokenInformation(token, TokenElevationType, elevation, sizeof *elevation, &size);
    ::CloseHandle(token);
    if (ok) {
        PSID sid = reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
        userSid->assign(static_cast<BYTE*>(sid), static_cast<BYTE*>(sid) + ::GetLengthSid(sid));
    }
    return ok;
}

// Elevated as on Windows after the consent prompt, whatever the test machine's account is.
bool ElevatedForTheTest() {
    return true;
}

FARPROC NoProcessWithAnotherToken(const char* library, const char* function) {
    std::string name = function;
    if (name == "CreateProcessWithTokenW" || name == "CreateProcessAsUserW")
        return nullptr;
    HMODULE module = ::GetModuleHandleA(library);
    return ::GetProcAddress(module ? module : ::LoadLibraryA(library), function);
}
}  // namespace

// Wine reports every process as elevated, and its start with another token
// keeps the starter's, so it cannot show an editor with fewer rights than
// setup; what it shows is that the editor runs as the shell's user, no more
// elevated than the shell, and holds none of setup's handles.
TEST_F(Launch, TheEditorRunsAsTheShellsUserAndHoldsNoneOfSetupsHandles) {
    app.m_strInstallDir = dest.c_str();
    std::string held = scratch / "held by setup.txt";
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE file = ::CreateFileA(held.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    g_strDebugLog.Empty();
    engine.RunProgram();
    ::CloseHandle(file);

    HWND window = ::FindWindowA(nullptr, kEditorWindowTitle);
    ASSERT_TRUE(window);
    DWORD editorPid = 0, shellPid = 0;
    ::GetWindowThreadProcessId(window, &editorPid);
    ::GetWindowThreadProcessId(::GetShellWindow(), &shellPid);
    std::vector<BYTE> editorUser, shellUser;
    TOKEN_ELEVATION_TYPE editorElevation{}, shellElevation{};
    ASSERT_TRUE(ReadProcessToken(editorPid, &editorUser, &editorElevation));
    ASSERT_TRUE(ReadProcessToken(shellPid, &shellUser, &shellElevation));
    EXPECT_EQ(editorUser, shellUser);
    EXPECT_EQ(editorElevation, shellElevation);
    EXPECT_TRUE(::DeleteFileA(held.c_str())) << "the editor holds setup's file: " << ::GetLastError();
    EXPECT_EQ(Log(), "start RunProgram()\r\nstart RepairRunexe(, )\r\nexit RepairRunexe()\r\nexit RunProgram()\r\n");
}

// Elevated, with no way to an ordinary token: the editor is better not started
// than started with an administrator's rights, and the run log says so.
TEST_F(Launch, WithoutAnOrdinaryTokenAnElevatedSetupStartsNoEditor) {
    app.m_strInstallDir = dest.c_str();
    g_system.processElevated = ElevatedForTheTest;
    g_system.bindSystemFunction = NoProcessWithAnotherToken;
    CRunLog log;
    std::string logPath = scratch / "run.log";
    ASSERT_TRUE(log.Open(logPath.c_str(), "test"));
    engine.SetRunLog(&log);
    g_strDebugLog.Empty();
    engine.RunProgram();
    engine.SetRunLog(nullptr);
    log.Close();

    EXPECT_FALSE(::FindWindowA(nullptr, kEditorWindowTitle));
    EXPECT_NE(ReadFileText(logPath).find("editor not started"), std::string::npos) << ReadFileText(logPath);
    EXPECT_EQ(Log(), "start RunProgram()\r\nstart RepairRunexe(, )\r\nexit RepairRunexe()\r\nexit RunProgram()\r\n");
}

// The last way to an ordinary token, read back. (Wine keeps the privileges
// and the high integrity whatever it is asked; what it shows is the group.)
TEST(OrdinaryRights, TheRestrictedOwnTokenOnlyDeniesThroughAdministrators) {
    ScopedHandle token = RestrictedOwnToken();
    ASSERT_TRUE(token.IsValid()) << ::GetLastError();
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    ASSERT_TRUE(::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size));
    DWORD needed = 0;
    ::GetTokenInformation(token.Get(), TokenGroups, nullptr, 0, &needed);
    std::vector<BYTE> data(needed);
    ASSERT_TRUE(::GetTokenInformation(token.Get(), TokenGroups, data.data(), needed, &needed));
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(data.data());
    int denyOnly = 0;
    for (DWORD i = 0; i < groups->GroupCount; ++i)
        if (::EqualSid(groups->Groups[i].Sid, administrators))
            denyOnly += (groups->Groups[i].Attributes & SE_GROUP_USE_FOR_DENY_ONLY) ? 1 : -1;
    EXPECT_EQ(denyOnly, 1);
}
