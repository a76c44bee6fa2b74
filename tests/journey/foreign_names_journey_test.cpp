// A user whose folders hold characters outside the system's ANSI code page:
// the programs declare UTF-8 as their code page, so every narrow call takes
// such paths. Checked with wide calls from the test, which has no such manifest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "journey.h"

namespace {
const wchar_t kForeignTemp[] = L"C:\\users\\Public\\\x041f\x0451\x0442\x0440 Temp";
const wchar_t kForeignFolder[] = L"C:\\\x7a0b\x5e8f\\Brellic Pagewright";

// Starts a program with the temporary folders pointing at the foreign one.
HANDLE StartWithForeignTemp(const std::wstring& commandLine) {
    std::vector<wchar_t> env;
    wchar_t* block = ::GetEnvironmentStringsW();
    for (const wchar_t* p = block; *p; p += wcslen(p) + 1) {
        if (_wcsnicmp(p, L"TEMP=", 5) != 0 && _wcsnicmp(p, L"TMP=", 4) != 0)
            env.insert(env.end(), p, p + wcslen(p) + 1);
    }
    ::FreeEnvironmentStringsW(block);
    for (const std::wstring& e : {std::wstring(L"TEMP=") + kForeignTemp, std::wstring(L"TMP=") + kForeignTemp})
        env.insert(env.end(), e.c_str(), e.c_str() + e.size() + 1);
    env.push_back(L'\0');
    std::vector<wchar_t> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back(L'\0');
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT, env.data(), nullptr,
                          &si, &pi))
        return nullptr;
    ::CloseHandle(pi.hThread);
    return pi.hProcess;
}

std::wstring RegistryTextW(HKEY root, const wchar_t* path, const wchar_t* name) {
    wchar_t data[1024] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    if (::RegGetValueW(root, path, name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return L"<absent>";
    return data;
}
}  // namespace

TEST_F(Journey, FoldersOutsideTheAnsiCodePageInstallAndRemoveCleanly) {
    DeleteTree(L"C:\\\x7a0b\x5e8f");
    DeleteTree(kForeignTemp);
    ASSERT_TRUE(::CreateDirectoryW(kForeignTemp, nullptr));

    SetupOptions options;
    options.args = "notruneditor";
    SetupRun run(media.Path(), options);
    WindowSource windows = WindowsOfProcess(run.Pid());
    HWND destination = WalkTo(run, Page::Destination, true);
    ASSERT_TRUE(destination);
    ::SendMessageW(::GetDlgItem(destination, 1005), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kForeignFolder));
    Click(destination, IDOK);
    HWND confirm = WaitForPage(windows, Page::Confirm);
    ASSERT_TRUE(confirm);
    Click(confirm, IDOK);
    HWND finish = WaitForPage(windows, Page::Finish, 60000);
    ASSERT_TRUE(finish) << DescribeWindows(windows);
    Click(finish, IDOK);
    EXPECT_EQ(run.WaitExit(30000), 0);

    const std::wstring folder = kForeignFolder;
    EXPECT_TRUE(PathExists(folder + L"\\Scrivo.exe"));
    EXPECT_TRUE(PathExists(folder + L"\\uninstall.exe"));
    EXPECT_EQ(RegistryTextW(HKEY_LOCAL_MACHINE, L"Software\\Brellic Software\\Pagewright", L"SetupPath"),
              folder + L"\\");

    // Removal with the temporary folder under a Cyrillic name.
    HANDLE list = StartWithForeignTemp(L"C:\\windows\\system32\\uninstaller.exe --remove \"Brellic Pagewright\"");
    ASSERT_TRUE(list);
    HWND confirmRemoval = WaitForBox(WindowsOfAllProcesses(), "Are you sure uninstall Brellic Pagewright?");
    ASSERT_TRUE(confirmRemoval);
    Answer(confirmRemoval, IDYES);
    HWND done = WaitForBox(WindowsOfAllProcesses(), "You have successfully removed Brellic Pagewright.", 30000);
    ASSERT_TRUE(done);
    Answer(done, IDOK);
    ::WaitForSingleObject(list, 20000);
    ::CloseHandle(list);

    EXPECT_FALSE(PathExists(folder)) << "installation folder removed";
    EXPECT_FALSE(PathExists(L"C:\\\x7a0b\x5e8f")) << "its emptied parent removed too";
    EXPECT_TRUE(WaitOwnTempFoldersGone(kForeignTemp)) << "the copy and its folder go once it has ended";
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    DeleteTree(kForeignTemp);
}
