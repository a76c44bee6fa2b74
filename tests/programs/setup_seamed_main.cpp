// setup.exe for whole-program tests, with the system facts Wine cannot produce
// chosen through the environment (the system version and the graphics library
// are chosen in-process, where the copy list is tested):
//   BRELLIC_TEST_NOT_ADMIN=1     the user is in no group
//   BRELLIC_TEST_ACCOUNT=domain-admin  an administrator only through a group the name look-up does not show
//   BRELLIC_TEST_ACCOUNT=system  LocalSystem, as deployment tools run setup
//   BRELLIC_TEST_KILL_AT=N       the process is killed once N install-record entries are on disk
//   BRELLIC_TEST_IN_USE_SECONDS=N  an unattended run waits N seconds, not 60, for a file in use
//   BRELLIC_TEST_COPY_PAUSE_MS=N  every file copy of the installation starts N ms late
//   BRELLIC_TEST_LIMITED_ADMIN=1  an administrator's limited token (see limited_admin_seam.h)
//   BRELLIC_TEST_HIGH_CONTRAST=1  a high-contrast theme is on
// Everything else is the real program.
#include <windows.h>

#include <lm.h>

#include <cstdlib>
#include <cstring>

#include "common/system_seam.h"
#include "framework/function_cast.h"
#include "setup/setup_app.h"
#include "tests/programs/limited_admin_seam.h"

namespace {
FARPROC (*g_realBind)(const char*, const char*) = nullptr;

NET_API_STATUS WINAPI
NoMembers(LPCWSTR, LPCWSTR, DWORD, LPBYTE* buffer, DWORD, LPDWORD read, LPDWORD total, PDWORD_PTR) {
    *buffer = nullptr;
    *read = *total = 0;
    return NERR_Success;
}
NET_API_STATUS WINAPI NoGroups(LPCWSTR, LPCWSTR, DWORD, DWORD, LPBYTE* buffer, DWORD, LPDWORD read, LPDWORD total) {
    *buffer = nullptr;
    *read = *total = 0;
    return NERR_Success;
}
// Which well-known groups the token answers for: none, Administrators, or
// Administrators and LocalSystem.
enum class Account { Standard, DomainAdmin, System } g_account = Account::Standard;
BOOL WINAPI ChosenMembership(HANDLE, PSID sid, PBOOL member) {
    *member = FALSE;
    if (g_account != Account::Standard && ::IsWellKnownSid(sid, WinBuiltinAdministratorsSid))
        *member = TRUE;
    if (g_account == Account::System && ::IsWellKnownSid(sid, WinLocalSystemSid))
        *member = TRUE;
    return TRUE;
}

// The name is no member of any group; the token holds what g_account says.
FARPROC NotAdminBind(const char* library, const char* function) {
    if (std::strcmp(function, "NetLocalGroupGetMembers") == 0)
        return AsFarproc(&NoMembers);
    if (std::strcmp(function, "NetUserGetLocalGroups") == 0)
        return AsFarproc(&NoGroups);
    if (std::strcmp(function, "CheckTokenMembership") == 0)
        return AsFarproc(&ChosenMembership);
    return g_realBind(library, function);
}

int g_killAt = 0;
void KillAtEntry(int count) {
    if (count == g_killAt)
        ::TerminateProcess(::GetCurrentProcess(), 9);
}

DWORD g_copyPauseMs = 0;
void PauseBeforeCopy(const char*) {
    ::Sleep(g_copyPauseMs);
}

BOOL WINAPI HighContrastSettings(UINT action, UINT param, PVOID value, UINT flags) {
    if (action == SPI_GETHIGHCONTRAST && value) {
        static_cast<HIGHCONTRASTA*>(value)->dwFlags = HCF_HIGHCONTRASTON | HCF_AVAILABLE;
        return TRUE;
    }
    return ::SystemParametersInfoA(action, param, value, flags);
}

void ApplySeamFromEnvironment() {
    if (const char* v = std::getenv("BRELLIC_TEST_HIGH_CONTRAST"); v && std::atoi(v) > 0)
        g_system.systemParametersInfo = HighContrastSettings;
    if (const char* v = std::getenv("BRELLIC_TEST_COPY_PAUSE_MS"); v && std::atoi(v) > 0) {
        g_copyPauseMs = static_cast<DWORD>(std::atoi(v));
        g_system.fileCopyStarting = PauseBeforeCopy;
    }
    if (const char* v = std::getenv("BRELLIC_TEST_KILL_AT"); v && std::atoi(v) > 0) {
        g_killAt = std::atoi(v);
        g_system.recordEntryWritten = KillAtEntry;
    }
    g_realBind = g_system.bindSystemFunction;
    if (const char* v = std::getenv("BRELLIC_TEST_NOT_ADMIN"); v && *v == '1')
        g_system.bindSystemFunction = NotAdminBind;
    if (const char* v = std::getenv("BRELLIC_TEST_ACCOUNT")) {
        g_account = std::strcmp(v, "system") == 0 ? Account::System : Account::DomainAdmin;
        g_system.bindSystemFunction = NotAdminBind;
    }
}

class SeamedSetupApp : public CSetupApp {
public:
    BOOL InitInstance() override {
        ApplySeamFromEnvironment();
        ApplyLimitedAdminSeam();
        if (const char* v = std::getenv("BRELLIC_TEST_IN_USE_SECONDS"))
            m_unattended.m_nInUseSeconds = std::atoi(v);
        return CSetupApp::InitInstance();
    }
};
}  // namespace

SeamedSetupApp theApp;
