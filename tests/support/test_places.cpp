#include "test_places.h"

#include <windows.h>

#include <vector>

#include "common/shell_folders.h"
#include "framework/scoped_handles.h"
#include "test_fs.h"
#include "ui_driver.h"

namespace {
// A folder the call writes into a buffer it sizes; empty when it does not fit.
template <typename Call>
std::string FolderFrom(Call call) {
    char path[MAX_PATH + 1] = {};
    UINT n = call(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return std::string();
    std::string folder(path, n);
    return folder.back() == '\\' ? folder : folder + "\\";
}

constexpr wchar_t kOwnTempPattern[] = L"\\Brellic Pagewright-*";
}  // namespace

std::string WindowsFolderPath() {
    return FolderFrom([](char* p, UINT size) { return ::GetWindowsDirectoryA(p, size); });
}

std::string SystemFolderPath() {
    return FolderFrom([](char* p, UINT size) { return ::GetSystemDirectoryA(p, size); });
}

std::string TempFolderPath() {
    return FolderFrom([](char* p, UINT size) { return static_cast<UINT>(::GetTempPathA(size, p)); });
}

std::string ShellFolderPath(int csidl) {
    return GetSpecialFolderPath(csidl).str() + "\\";
}

std::string GroupFolder() {
    return GetProgramsFolder().str() + "\\Brellic Pagewright";
}

std::string DesktopLink() {
    return GetDesktopFolder().str() + "\\Brellic Pagewright.lnk";
}

std::vector<std::string> OwnTempFolders() {
    std::vector<std::string> folders;
    std::string temp = TempFolderPath();
    WIN32_FIND_DATAW found;
    ScopedFindHandle find(::FindFirstFileW((Wide(temp.substr(0, temp.size() - 1)) + kOwnTempPattern).c_str(), &found));
    if (!find)
        return folders;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            folders.push_back(temp + Narrow(found.cFileName));
    } while (::FindNextFileW(find.Get(), &found));
    return folders;
}

bool WaitOwnTempFoldersGone(int timeoutMs) {
    return WaitUntil([] { return OwnTempFolders().empty(); }, timeoutMs);
}

bool WaitOwnTempFoldersGone(const std::wstring& tempFolder, int timeoutMs) {
    return WaitUntil(
        [&] {
            WIN32_FIND_DATAW found;
            ScopedFindHandle find(::FindFirstFileW((tempFolder + kOwnTempPattern).c_str(), &found));
            return !find;
        },
        timeoutMs);
}
