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

namespace {
// The editor's window, once it comes.
HWND WaitForEditorWindow() {
    HWND window = nullptr;
    for (DWORD start = ::GetTickCount(); !window && ::GetTickCount() - start < 15000; ::Sleep(50))
        window = ::FindWindowA(nullptr, kEditorWindowTitle);
    return window;
}
}  // namespace

// The wait for the window lasts about two seconds: a window that comes after
// 1.3 s is found before setup goes on, one that comes after 4 s is not waited for.
TEST_F(Launch, TheWaitForTheWindowEndsAfterAboutTwoSeconds) {
    app.m_strInstallDir = dest.c_str();
    ::SetEnvironmentVariableA("SCRIVO_WINDOW_DELAY_MS", "1300");
    engine.RunProgram();
    bool found = ::FindWindowA(nullptr, kEditorWindowTitle) != nullptr;
    WaitForEditorWindow();
    CloseEditors();
    EXPECT_TRUE(found) << "setup went on before the window came";

    ::SetEnvironmentVariableA("SCRIVO_WINDOW_DELAY_MS", "4000");
    engine.RunProgram();
    EXPECT_FALSE(::FindWindowA(nullptr, kEditorWindowTitle)) << "setup waited for a window that came after 4 s";
    EXPECT_TRUE(WaitForEditorWindow()) << "the editor was started all the same";
}

namespace {
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

// Wine gives every process the same user and elevation, so the editor's
// fewer rights cannot be seen here; the handles it must not inherit can.
TEST_F(Launch, TheEditorHoldsNoneOfSetupsHandles) {
    app.m_strInstallDir = dest.c_str();
    std::string held = scratch / "held by setup.txt";
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE file = ::CreateFileA(held.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    g_strDebugLog.Empty();
    engine.RunProgram();
    ::CloseHandle(file);

    ASSERT_TRUE(::FindWindowA(nullptr, kEditorWindowTitle));
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
