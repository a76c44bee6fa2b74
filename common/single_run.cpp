#include "single_run.h"

#include <aclapi.h>
#include <sddl.h>

#include <string>

#include "common/admin_check.h"
#include "common/elevation.h"
#include "common/folder_trust_rule.h"

namespace {
// Made by an administrator, LocalSystem or this run's own user.
bool MadeByTrustedOwner(HANDLE mutex) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(mutex, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                          &descriptor) != ERROR_SUCCESS)
        return false;
    ScopedLocalMemory held(descriptor);
    // Windows gives every named object an owner; Wine none to one made plainly.
    if (!owner)
        return true;
    LPSTR text = nullptr;
    if (!::ConvertSidToStringSidA(owner, &text))
        return false;
    ScopedLocalMemory ownedText(text);
    return IsTrustedOwner(text, CurrentUserSid());
}

std::string LockName(int attempt) {
    return attempt == 0 ? kSingleRunName : std::string(kSingleRunName) + " " + std::to_string(attempt + 1);
}
}  // namespace

bool CSingleRun::Acquire(DWORD waitMs) {
    if (m_owned)
        return true;
    bool administrator = TokenIsAdministrator();
    for (int attempt = 0;; ++attempt) {
        m_mutex.Reset(::CreateMutexA(nullptr, FALSE, LockName(attempt).c_str()));
        if (!m_mutex.IsValid())
            return true;  // no lock to be had is no reason to refuse the run
        bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
        if (!administrator || !existed || MadeByTrustedOwner(m_mutex.Get()))
            break;
        // Somebody else's: the next name, which administrators' runs all reach
        // the same way. With every name taken, the run goes on without a lock.
        if (attempt + 1 == kAdministratorLockNames) {
            m_mutex.Reset();
            return true;
        }
    }
    DWORD waited = ::WaitForSingleObject(m_mutex.Get(), waitMs);
    // An abandoned lock belonged to a run that was killed: it is ours now.
    m_owned = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    return m_owned;
}

void CSingleRun::Release() {
    if (m_owned)
        ::ReleaseMutex(m_mutex.Get());
    m_owned = false;
    m_mutex.Reset();
}
