// Starting the installed editor and waiting for its window.
#include "common/product_catalogue.h"
#include "engine_fixture.h"
#include "process_startup.h"
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
