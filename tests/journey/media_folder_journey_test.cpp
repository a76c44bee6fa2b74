// Media where people really put it: a folder whose path has blanks and
// characters outside the ANSI code page, and a read-only copy (a CD, a share).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "journey.h"
#include "test_paths.h"

namespace {
const std::wstring kForeignParent =
    L"C:\\users\\Public\\T\x00e9l\x00e9"
    L"chargements";
const std::wstring kForeignMedia = kForeignParent +
                                   L"\\Brellic M\x00e9"
                                   L"dia \x0417\x0430\x0433\x0440\x0443\x0437\x043a\x0430";

bool CopyMediaTo(const std::wstring& folder) {
    ::CreateDirectoryW(kForeignParent.c_str(), nullptr);
    return CopyFolderFiles(Wide(TEST_MEDIA_DIR), folder);
}

void RemoveMedia(const std::wstring& folder) {
    DeleteTree(folder);
    ::RemoveDirectoryW(kForeignParent.c_str());
}

// Walks the default installation of a setup process to its end, without starting the editor.
void InstallByDefault(DWORD pid) {
    WindowSource windows = WindowsOfProcess(pid);
    for (auto [page, button] : {std::pair{Page::Welcome, IDOK}, std::pair{Page::Agreement, IDOK},
                                std::pair{Page::InstallType, 1014}, std::pair{Page::Confirm, IDOK}}) {
        HWND hwnd = WaitForPage(windows, page);
        ASSERT_TRUE(hwnd) << PageName(page) << ": " << DescribeWindows(windows);
        ASSERT_TRUE(ClickAndLeave(hwnd, button));
    }
    HWND finish = WaitForPage(windows, Page::Finish, 60000);
    ASSERT_TRUE(finish) << DescribeWindows(windows);
    Click(finish, 1008);
    Click(finish, IDOK);
}
}  // namespace

TEST_F(Journey, MediaInAFolderWithBlanksAndForeignLettersInstalls) {
    RemoveMedia(kForeignMedia);
    ASSERT_TRUE(CopyMediaTo(kForeignMedia));
    std::wstring command = L"\"" + kForeignMedia + L"\\setup.exe\"";
    std::vector<wchar_t> cmd(command.begin(), command.end());
    cmd.push_back(L'\0');
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(
        ::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, kForeignMedia.c_str(), &si, &pi));
    InstallByDefault(pi.dwProcessId);
    EXPECT_EQ(::WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 99;
    ::GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    EXPECT_TRUE(FileExists(kDefaultFolder + "\\Scrivo.exe")) << "the media was found and read";
    EXPECT_TRUE(FileExists(kDefaultFolder + "\\scrivoguide.pdf"));
    RemoveMedia(kForeignMedia);
}

TEST_F(Journey, ReadOnlyMediaInstalls) {
    for (const char* name : {"setup.exe", "Scrivo.ex_", "uninstall.ex_", "readme.txt", "BRLXCJK.BIN"})
        ASSERT_TRUE(::SetFileAttributesA((media / name).c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(::SetFileAttributesA(media.Path().c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    SetupRun run(media.Path());
    InstallByDefault(run.Pid());
    EXPECT_EQ(run.WaitExit(30000), 0);
    EXPECT_TRUE(FileExists(kDefaultFolder + "\\Scrivo.exe"));
    EXPECT_TRUE(FileExists(kDefaultFolder + "\\readme.txt"));
    ::SetFileAttributesA(media.Path().c_str(), FILE_ATTRIBUTE_DIRECTORY);
}
