#include "unix_link.h"

#include <windows.h>

#include <vector>

#include "framework/function_cast.h"
#include "ui_driver.h"

namespace {
// The host path of a Windows path; empty when not on Wine.
std::string UnixPath(const std::string& path) {
    using Fn = char*(CDECL*)(LPCWSTR);
    auto toUnix = FunctionCast<Fn>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!toUnix)
        return std::string();
    std::wstring wide(path.begin(), path.end());
    char* unixPath = toUnix(wide.c_str());
    if (!unixPath)
        return std::string();
    std::string result = unixPath;
    ::HeapFree(::GetProcessHeap(), 0, unixPath);
    return result;
}

// Wine neither waits for a host program nor reports its exit code; callers
// poll for the result instead.
void RunHostCommand(const std::string& commandLine) {
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
}
}  // namespace

bool IsFolderLink(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool MakeFolderLink(const std::string& link, const std::string& target) {
    std::string unixTarget = UnixPath(target);
    // The link does not exist yet: its parent's host path plus its own name.
    size_t slash = link.rfind('\\');
    std::string unixParent = slash == std::string::npos ? std::string() : UnixPath(link.substr(0, slash));
    if (unixTarget.empty() || unixParent.empty())
        return false;
    std::string unixLink = unixParent + "/" + link.substr(slash + 1);
    RunHostCommand("Z:\\bin\\ln -s \"" + unixTarget + "\" \"" + unixLink + "\"");
    return WaitUntil([&] { return IsFolderLink(link); }, 5000);
}

void RemoveFolderLink(const std::string& link) {
    if (!IsFolderLink(link))
        return;
    RunHostCommand("Z:\\bin\\rm -f \"" + UnixPath(link) + "\"");
    WaitUntil([&] { return !IsFolderLink(link); }, 5000);
}
