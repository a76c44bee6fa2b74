#include "common/elevation.h"

#include <windows.h>
// After windows.h, which it relies on.
#include <sddl.h>
#include <shellapi.h>

#include <vector>

#include "common/system_seam.h"
#include "framework/function_cast.h"
#include "framework/scoped_handles.h"

std::string CurrentUserSid() {
    ScopedHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Receive()))
        return {};
    DWORD size = 0;
    ::GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    LPSTR text = nullptr;
    if (size == 0 || !::GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size) ||
        !::ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text))
        return {};
    ScopedLocalMemory owned(text);
    return text;
}

namespace {
// What the process's own token says: whether it is elevated, and its
// elevation type (the default one when it cannot be read).
struct OwnElevation {
    bool elevated = false;
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
};

OwnElevation ReadOwnElevation() {
    OwnElevation own;
    ScopedHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Receive()))
        return own;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    own.elevated = ::GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size) &&
                   elevation.TokenIsElevated;
    if (!::GetTokenInformation(token.Get(), TokenElevationType, &own.type, sizeof own.type, &size))
        own.type = TokenElevationTypeDefault;
    return own;
}
}  // namespace

bool RunsElevated() {
    if (g_system.processElevated)
        return g_system.processElevated();
    OwnElevation own = ReadOwnElevation();
    return own.elevated || own.type == TokenElevationTypeFull;
}

bool RunsAsLimitedAdministrator() {
    if (g_system.limitedAdministrator)
        return g_system.limitedAdministrator();
    return ReadOwnElevation().type == TokenElevationTypeLimited;
}

int RunElevatedCopy(const std::wstring& tail) {
    constexpr int kDeclined = 1602, kFailed = 1603;
    std::vector<wchar_t> self(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
        if (n == 0)
            return kFailed;
        if (n < self.size())
            break;
        self.resize(self.size() * 2);
    }
    // Bound here, not imported: the shell library costs start-up time that
    // only this path needs.
    using ShellExecuteExFn = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
    HMODULE shell = ::LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    auto shellExecuteEx = shell ? FunctionCast<ShellExecuteExFn>(::GetProcAddress(shell, "ShellExecuteExW")) : nullptr;
    if (!shellExecuteEx)
        return kFailed;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"runas";
    info.lpFile = self.data();
    info.lpParameters = tail.empty() ? nullptr : tail.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!shellExecuteEx(&info))
        return ::GetLastError() == ERROR_CANCELLED ? kDeclined : kFailed;
    ScopedHandle process(info.hProcess);
    if (!process)
        return kFailed;
    ::AllowSetForegroundWindow(::GetProcessId(process.Get()));
    ::WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = kFailed;
    ::GetExitCodeProcess(process.Get(), &code);
    return static_cast<int>(code);
}
