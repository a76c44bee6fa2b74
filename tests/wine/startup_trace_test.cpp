// Start-up in-process: the trace byte for byte up to the media check, with the
// system version injected, and the reinstall line.
#include <gtest/gtest.h>

#include <string>

#include "common/product_catalogue.h"
#include "common/system_seam.h"
#include "setup/debug_log.h"
#include "test_app.h"
#include "test_registry.h"
#include "wizard_driver.h"

namespace {
BOOL WINAPI XpVersion(LPOSVERSIONINFOA info) {
    info->dwPlatformId = 2;
    info->dwMajorVersion = 5;
    info->dwMinorVersion = 1;
    return TRUE;
}
BOOL WINAPI NoVersion(LPOSVERSIONINFOA) {
    return FALSE;
}

// The test program's folder holds no media: start-up stops at the media check,
// shows its message and then the interrupted page. Answers both.
void AnswerMissingMediaAndFinish(const ModalThread& worker) {
    HWND box = WaitForBox(WindowsOfThread(worker), "Sorry Pagewright can not be installed right now.");
    ASSERT_TRUE(box);
    PressButton(box, IDOK);
    HWND page = WaitForPage(WindowsOfThread(worker), Page::Interrupted);
    ASSERT_TRUE(page);
    PressButton(page, IDOK);
}

class StartupTrace : public ::testing::Test {
protected:
    ProductKeysGuard keys;
    SystemSeamGuard seam;
    TestSetupApp app;
};
}  // namespace

TEST_F(StartupTrace, PreambleVersionLineAndFirstStepsInOrder) {
    g_system.getVersionEx = XpVersion;
    ModalThread worker([&] { return static_cast<INT_PTR>(app.InitInstance()); });
    AnswerMissingMediaAndFinish(worker);
    ASSERT_TRUE(worker.Wait());
    EXPECT_TRUE(worker.ProcessEnded());
    EXPECT_EQ(worker.ExitCode(), 0);

    std::string log = g_strDebugLog.str();
    std::string expectedStart = std::string(kDebugLogPreamble) +
                                "Version of the operating system: 2.5.1\r\n Start setup\r\n"
                                "start RegGetString(HKEY_LOCAL_MACHINE, SOFTWARE\\Microsoft\\Windows\\CurrentVersion, "
                                "ProgramFilesDir, C:\\Program Files)\r\n"
                                "RegQueryValueEx's reutrn value: dwType = 1, dwSize = ";
    ASSERT_EQ(log.substr(0, expectedStart.size()), expectedStart);
    // Administrator check, then the earlier installation under the machine root, then the media check.
    size_t admin = log.find("start IsAdmin (");
    size_t setupPath = log.find(
        "start RegGetString(HKEY_LOCAL_MACHINE, Software\\Brellic Software\\Pagewright, SetupPath, )\r\n"
        "RegQueryValueEx's reutrn value: dwType = 0, dwSize = 0\r\nexit RegGetString()\r\n");
    size_t media = log.find("start IsExitfile()\r\n");
    ASSERT_NE(admin, std::string::npos);
    ASSERT_NE(setupPath, std::string::npos);
    ASSERT_NE(media, std::string::npos);
    EXPECT_LT(admin, setupPath);
    EXPECT_LT(setupPath, media);
    EXPECT_EQ(log.substr(media), "start IsExitfile()\r\n") << "a missing main file ends without the exit line";
    EXPECT_EQ(app.m_strInstallDir, "C:\\Program Files\\Brellic Software\\Pagewright\\");
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kProductKey)) << "the read leaves the empty product key";
}

TEST_F(StartupTrace, NoVersionLineWhenTheSystemWillNotSay) {
    g_system.getVersionEx = NoVersion;
    ModalThread worker([&] { return static_cast<INT_PTR>(app.InitInstance()); });
    AnswerMissingMediaAndFinish(worker);
    ASSERT_TRUE(worker.Wait());
    std::string expected = std::string(kDebugLogPreamble) + "Start setup\r\n";
    EXPECT_EQ(g_strDebugLog.str().substr(0, expected.size()), expected);
}

TEST_F(StartupTrace, ReinstallAnsweredYesLogsItsOddLineAndTakesTheEarlierFolder) {
    RegWriteRaw(HKEY_LOCAL_MACHINE, kProductKey, "SetupPath", REG_SZ, "D:\\Old\\Place\\x", 16);
    ModalThread worker([&] { return static_cast<INT_PTR>(app.InitInstance()); });
    HWND question = WaitForBox(WindowsOfThread(worker), "You already have installed Brellic Pagewright.");
    ASSERT_TRUE(question);
    EXPECT_EQ(MessageBoxText(question), "You already have installed Brellic Pagewright. Do you want to reinstall it?");
    EXPECT_EQ(WindowText(question), "setup") << "caption is the program title";
    PressButton(question, IDYES);
    AnswerMissingMediaAndFinish(worker);
    ASSERT_TRUE(worker.Wait());
    std::string log = g_strDebugLog.str();
    EXPECT_NE(log.find("exit RegGetString()\r\nuser want to reinstall\n\rstart IsExitfile()\r\n"), std::string::npos)
        << log;
    EXPECT_EQ(app.m_strOldSetupPath, "D:\\Old\\Place\\x");
    EXPECT_EQ(app.m_strInstallDir, "D:\\Old\\Place\\");
}

TEST_F(StartupTrace, ReinstallDeclinedShowsTheInterruptedPage) {
    RegWriteRaw(HKEY_LOCAL_MACHINE, kProductKey, "SetupPath", REG_SZ, "C:\\Gone\\", 9);
    ModalThread worker([&] { return static_cast<INT_PTR>(app.InitInstance()); });
    HWND question = WaitForBox(WindowsOfThread(worker), "Do you want to reinstall it?");
    ASSERT_TRUE(question);
    PressButton(question, IDNO);
    HWND page = WaitForPage(WindowsOfThread(worker), Page::Interrupted);
    ASSERT_TRUE(page);
    PressButton(page, IDOK);
    ASSERT_TRUE(worker.Wait());
    EXPECT_TRUE(worker.ProcessEnded());
    EXPECT_EQ(g_strDebugLog.str().find("user want to reinstall"), std::string::npos);
    EXPECT_EQ(g_strDebugLog.str().find("start IsExitfile()"), std::string::npos);
}
