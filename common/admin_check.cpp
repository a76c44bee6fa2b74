#include "admin_check.h"

#include <string>

#include <lm.h>

#include <cwchar>
#include <vector>

#include "framework/function_cast.h"
#include "framework/scoped_handles.h"
#include "system_seam.h"
#include "trace.h"

namespace {
using NetUserGetLocalGroupsFn =
    NET_API_STATUS(WINAPI*)(LPCWSTR, LPCWSTR, DWORD, DWORD, LPBYTE*, DWORD, LPDWORD, LPDWORD);
using AllocateAndInitializeSidFn =
    BOOL(WINAPI*)(PSID_IDENTIFIER_AUTHORITY, BYTE, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, PSID*);
using LookupAccountSidWFn = BOOL(WINAPI*)(LPCWSTR, PSID, LPWSTR, LPDWORD, LPWSTR, LPDWORD, PSID_NAME_USE);
using NetLocalGroupGetMembersFn =
    NET_API_STATUS(WINAPI*)(LPCWSTR, LPCWSTR, DWORD, LPBYTE*, DWORD, LPDWORD, LPDWORD, PDWORD_PTR);
using NetApiBufferFreeFn = NET_API_STATUS(WINAPI*)(LPVOID);
using FreeSidFn = PVOID(WINAPI*)(PSID);
using CreateWellKnownSidFn = BOOL(WINAPI*)(WELL_KNOWN_SID_TYPE, PSID, PSID, DWORD*);
using CheckTokenMembershipFn = BOOL(WINAPI*)(HANDLE, PSID, PBOOL);
using NetBuffer = ScopedLibraryMemory<LPBYTE, NetApiBufferFreeFn>;

template <typename Fn>
Fn Bind(const char* library, const char* name) {
    return FunctionCast<Fn>(g_system.bindSystemFunction(library, name));
}

unsigned AddressForTrace(const void* p) {
    return static_cast<unsigned>(reinterpret_cast<uintptr_t>(p));
}

CString Narrow(const wchar_t* text) {
    int n = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return CString();
    std::vector<char> out(static_cast<size_t>(n));
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), n, nullptr, nullptr);
    return CString(out.data());
}

std::wstring Wide(const char* text) {
    int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::vector<wchar_t> out(static_cast<size_t>(n));
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), n);
    return std::wstring(out.data());
}

// Whether the token holds the SID as its user or as an enabled group.
bool TokenHolds(WELL_KNOWN_SID_TYPE type) {
    auto wellKnown = Bind<CreateWellKnownSidFn>("advapi32.dll", "CreateWellKnownSid");
    auto checkMembership = Bind<CheckTokenMembershipFn>("advapi32.dll", "CheckTokenMembership");
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof sid;
    BOOL member = FALSE;
    return wellKnown && checkMembership && wellKnown(type, nullptr, sid, &size) &&
           checkMembership(nullptr, sid, &member) && member;
}
}  // namespace

BOOL TokenIsAdministrator() {
    return TokenHolds(WinBuiltinAdministratorsSid) || TokenHolds(WinLocalSystemSid);
}

BOOL RunsAsLocalSystem() {
    return TokenHolds(WinLocalSystemSid);
}

BOOL GetCurrentUserName(CString& name) {
    char buffer[UNLEN + 2] = {};
    DWORD size = UNLEN + 1;
    if (!::GetUserNameA(buffer, &size))
        return FALSE;
    name = buffer;
    return TRUE;
}

BOOL IsAdmin(const char* lpszUserName) {
    auto netUserGetLocalGroups = Bind<NetUserGetLocalGroupsFn>("netapi32.dll", "NetUserGetLocalGroups");
    auto allocateSid = Bind<AllocateAndInitializeSidFn>("advapi32.dll", "AllocateAndInitializeSid");
    auto lookupAccountSid = Bind<LookupAccountSidWFn>("advapi32.dll", "LookupAccountSidW");
    auto netLocalGroupGetMembers = Bind<NetLocalGroupGetMembersFn>("netapi32.dll", "NetLocalGroupGetMembers");
    auto netApiBufferFree = Bind<NetApiBufferFreeFn>("netapi32.dll", "NetApiBufferFree");
    auto freeSid = Bind<FreeSidFn>("advapi32.dll", "FreeSid");
    if (!netUserGetLocalGroups)
        return TRUE;

    TraceFormat("start IsAdmin (%s)\r\n", lpszUserName);
    // Without the rest of the functions membership cannot be shown: not an administrator.
    if (!allocateSid || !lookupAccountSid || !netLocalGroupGetMembers || !netApiBufferFree || !freeSid) {
        TraceText("exit IsAdmin()\r\n");
        return FALSE;
    }
    std::wstring userName = Wide(lpszUserName ? lpszUserName : "");

    wchar_t groupName[100] = {};
    {
        SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
        ScopedLibraryMemory<PSID, FreeSidFn> sid(freeSid);
        allocateSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                    sid.Receive());
        TraceFormat("AllocateAndInitializeSid's return value: pSID = 0x%x\r\n", AddressForTrace(sid.Get()));

        wchar_t domainName[100] = {};
        DWORD nameSize = 100;
        DWORD domainSize = 100;
        SID_NAME_USE use = SidTypeUnknown;
        if (sid.Get())
            lookupAccountSid(nullptr, sid.Get(), groupName, &nameSize, domainName, &domainSize, &use);
        TraceFormat("LookupAccountSidW's return value: NameSize = %d, DomainSize = %d, sidtype = %d\r\n",
                    static_cast<int>(nameSize), static_cast<int>(domainSize), static_cast<int>(use));
    }
    groupName[99] = L'\0';

    DWORD total = 0;
    {
        NetBuffer members(netApiBufferFree);
        DWORD read = 0;
        NET_API_STATUS status = netLocalGroupGetMembers(nullptr, groupName, 1, members.Receive(), MAX_PREFERRED_LENGTH,
                                                        &read, &total, nullptr);
        TraceFormat("NetLocalGroupGetMembers(NULL, %s, 1, 0x%x, MAX_PREFERRED_LENGTH, %d, %d\r\n",
                    Narrow(groupName).c_str(), AddressForTrace(members.Get()), static_cast<int>(read),
                    static_cast<int>(total));
        if (status != NERR_Success) {
            TraceText("exit IsAdmin()\r\n");
            return FALSE;
        }
        auto* memberInfo = reinterpret_cast<LOCALGROUP_MEMBERS_INFO_1*>(members.Get());
        for (DWORD i = 0; memberInfo && i < read; ++i) {
            const wchar_t* name = memberInfo[i].lgrmi1_name;
            if (name && _wcsicmp(name, userName.c_str()) == 0) {
                TraceText("exit IsAdmin()\r\n");
                return TRUE;
            }
        }
    }

    TraceFormat("NetUserGetLocalGroups(NULL, %s, 0, LG_INCLUDE_INDIRECT,0x%x, MAX_PREFERRED_LENGTH, %d,%d);\r\n",
                lpszUserName, 0u, static_cast<int>(total), 0);
    NetBuffer groups(netApiBufferFree);
    DWORD read = 0;
    DWORD groupTotal = 0;
    netUserGetLocalGroups(nullptr, userName.c_str(), 0, LG_INCLUDE_INDIRECT, groups.Receive(), MAX_PREFERRED_LENGTH,
                          &read, &groupTotal);
    TraceFormat("NetUserGetLocalGroups's return value: dwCount = %d, dwTotal = %d", static_cast<int>(read),
                static_cast<int>(groupTotal));
    auto* groupInfo = reinterpret_cast<LOCALGROUP_USERS_INFO_0*>(groups.Get());
    BOOL found = FALSE;
    // The group is known by its SID: its name is whatever the look-up gave, which
    // on a Windows in another language is not "Administrators".
    std::wstring adminsName = groupName[0] ? std::wstring(groupName) : std::wstring(L"Administrators");
    for (DWORD i = 0; groupInfo && i < read && !found; ++i) {
        if (groupInfo[i].lgrui0_name && ::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, groupInfo[i].lgrui0_name,
                                                         -1, adminsName.c_str(), -1) == CSTR_EQUAL)
            found = TRUE;
    }
    TraceText("exit IsAdmin()\r\n");
    return found;
}
