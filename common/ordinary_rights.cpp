#include "ordinary_rights.h"

#include <winsafer.h>

#include <string>
#include <vector>

#include "common/elevation.h"
#include "framework/function_cast.h"
#include "framework/scoped_handles.h"
#include "system_seam.h"

namespace {
using OpenProcessTokenFn = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
using GetTokenInformationFn = BOOL(WINAPI*)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
using DuplicateTokenExFn =
    BOOL(WINAPI*)(HANDLE, DWORD, LPSECURITY_ATTRIBUTES, SECURITY_IMPERSONATION_LEVEL, TOKEN_TYPE, PHANDLE);
using CreateProcessWithTokenWFn =
    BOOL(WINAPI*)(HANDLE, DWORD, LPCWSTR, LPWSTR, DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION);
using SaferCreateLevelFn = BOOL(WINAPI*)(DWORD, DWORD, DWORD, SAFER_LEVEL_HANDLE*, LPVOID);
using SaferComputeTokenFromLevelFn = BOOL(WINAPI*)(SAFER_LEVEL_HANDLE, HANDLE, PHANDLE, DWORD, LPVOID);
using SaferCloseLevelFn = BOOL(WINAPI*)(SAFER_LEVEL_HANDLE);
using CreateRestrictedTokenFn = BOOL(WINAPI*)(HANDLE,
                                              DWORD,
                                              DWORD,
                                              PSID_AND_ATTRIBUTES,
                                              DWORD,
                                              PLUID_AND_ATTRIBUTES,
                                              DWORD,
                                              PSID_AND_ATTRIBUTES,
                                              PHANDLE);
using CreateWellKnownSidFn = BOOL(WINAPI*)(WELL_KNOWN_SID_TYPE, PSID, PSID, DWORD*);
using SetTokenInformationFn = BOOL(WINAPI*)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD);
using CreateProcessAsUserWFn = BOOL(WINAPI*)(HANDLE,
                                             LPCWSTR,
                                             LPWSTR,
                                             LPSECURITY_ATTRIBUTES,
                                             LPSECURITY_ATTRIBUTES,
                                             BOOL,
                                             DWORD,
                                             LPVOID,
                                             LPCWSTR,
                                             LPSTARTUPINFOW,
                                             LPPROCESS_INFORMATION);

template <typename Fn>
Fn Bind(const char* name) {
    return FunctionCast<Fn>(g_system.bindSystemFunction("advapi32.dll", name));
}

struct SaferLevel {
    SaferCloseLevelFn close = Bind<SaferCloseLevelFn>("SaferCloseLevel");
    SAFER_LEVEL_HANDLE level = nullptr;
    ~SaferLevel() {
        if (level && close)
            close(level);
    }
};

std::wstring Wide(const CString& text) {
    int n = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::vector<wchar_t> out(static_cast<size_t>(n));
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out.data(), n);
    return std::wstring(out.data());
}

// The token of the process that owns the desktop's shell window: the user's
// own everyday token, as a primary token a new process can be given.
ScopedHandle ShellToken() {
    HWND shell = ::GetShellWindow();
    DWORD shellProcessId = 0;
    if (!shell || !::GetWindowThreadProcessId(shell, &shellProcessId) || shellProcessId == 0)
        return ScopedHandle();
    auto openToken = Bind<OpenProcessTokenFn>("OpenProcessToken");
    auto duplicate = Bind<DuplicateTokenExFn>("DuplicateTokenEx");
    ScopedHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellProcessId));
    ScopedHandle token;
    if (!openToken || !duplicate || !process || !openToken(process.Get(), TOKEN_DUPLICATE, token.Receive()))
        return ScopedHandle();
    ScopedHandle primary;
    const DWORD access =
        TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY | TOKEN_ADJUST_DEFAULT | TOKEN_ADJUST_SESSIONID;
    if (!duplicate(token.Get(), access, nullptr, SecurityImpersonation, TokenPrimary, primary.Receive()))
        return ScopedHandle();
    return primary;
}

// A token with the rights of a normal user, computed from this process's own.
ScopedHandle NormalUserToken() {
    auto create = Bind<SaferCreateLevelFn>("SaferCreateLevel");
    auto compute = Bind<SaferComputeTokenFromLevelFn>("SaferComputeTokenFromLevel");
    SaferLevel level;
    ScopedHandle token;
    if (!create || !compute || !level.close ||
        !create(SAFER_SCOPEID_USER, SAFER_LEVELID_NORMALUSER, SAFER_LEVEL_OPEN, &level.level, nullptr) ||
        !compute(level.level, nullptr, token.Receive(), 0, nullptr))
        return ScopedHandle();
    return token;
}
}  // namespace

// Where neither of those can be had (no desktop shell, no SAFER levels): this
// process's own token as a standard user's is made from an administrator's,
// the Administrators group only able to deny, no privileges, medium integrity.
ScopedHandle RestrictedOwnToken() {
    auto openToken = Bind<OpenProcessTokenFn>("OpenProcessToken");
    auto restrict = Bind<CreateRestrictedTokenFn>("CreateRestrictedToken");
    auto wellKnown = Bind<CreateWellKnownSidFn>("CreateWellKnownSid");
    auto setInformation = Bind<SetTokenInformationFn>("SetTokenInformation");
    ScopedHandle own;
    if (!openToken || !restrict || !wellKnown || !setInformation ||
        !openToken(::GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ASSIGN_PRIMARY, own.Receive()))
        return ScopedHandle();
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    BYTE medium[SECURITY_MAX_SID_SIZE];
    DWORD administratorsSize = sizeof administrators;
    DWORD mediumSize = sizeof medium;
    if (!wellKnown(WinBuiltinAdministratorsSid, nullptr, administrators, &administratorsSize) ||
        !wellKnown(WinMediumLabelSid, nullptr, medium, &mediumSize))
        return ScopedHandle();
    SID_AND_ATTRIBUTES denied{administrators, 0};
    ScopedHandle restricted;
    if (!restrict(own.Get(), DISABLE_MAX_PRIVILEGE | LUA_TOKEN, 1, &denied, 0, nullptr, 0, nullptr,
                  restricted.Receive()))
        return ScopedHandle();
    TOKEN_MANDATORY_LABEL label{};
    label.Label.Sid = medium;
    label.Label.Attributes = SE_GROUP_INTEGRITY;
    if (!setInformation(restricted.Get(), TokenIntegrityLevel, &label, sizeof label + mediumSize))
        return ScopedHandle();
    return restricted;
}

StartedWith StartWithOrdinaryRights(const CString& commandLine,
                                    const CString& directory,
                                    PROCESS_INFORMATION* started) {
    *started = PROCESS_INFORMATION{};
    if (!RunsElevated()) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        ::GetStartupInfoA(&startup);
        std::vector<char> line(commandLine.c_str(), commandLine.c_str() + commandLine.GetLength() + 1);
        return ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, directory,
                                &startup, started)
                   ? StartedWith::ThisProcess
                   : StartedWith::Failed;
    }
    std::wstring wideLine = Wide(commandLine);
    std::wstring wideDirectory = Wide(directory);
    if (wideLine.empty() || wideDirectory.empty())
        return StartedWith::Nothing;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    std::vector<wchar_t> line(wideLine.c_str(), wideLine.c_str() + wideLine.size() + 1);

    // Never inherits handles: the call has no such choice.
    auto withToken = Bind<CreateProcessWithTokenWFn>("CreateProcessWithTokenW");
    ScopedHandle shell = ShellToken();
    if (shell && withToken &&
        withToken(shell.Get(), 0, nullptr, line.data(), CREATE_NEW_CONSOLE, nullptr, wideDirectory.c_str(), &startup,
                  started))
        return StartedWith::ShellToken;

    auto asUser = Bind<CreateProcessAsUserWFn>("CreateProcessAsUserW");
    auto startAs = [&](const ScopedHandle& token) {
        line.assign(wideLine.c_str(), wideLine.c_str() + wideLine.size() + 1);
        return token && asUser &&
               asUser(token.Get(), nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                      wideDirectory.c_str(), &startup, started);
    };
    if (startAs(NormalUserToken()))
        return StartedWith::NormalUser;
    if (startAs(RestrictedOwnToken()))
        return StartedWith::Restricted;
    *started = PROCESS_INFORMATION{};
    return StartedWith::Nothing;
}
