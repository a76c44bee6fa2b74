// BRELLIC_TEST_LIMITED_ADMIN=1: the program starts with an administrator's
// limited token. Only the first process sees it: the copy it starts elevated
// inherits the environment without it, as it would hold a full token.
#pragma once
#include <windows.h>

#include <cstdlib>

#include "common/system_seam.h"

inline bool LimitedOnce() {
    ::SetEnvironmentVariableA("BRELLIC_TEST_LIMITED_ADMIN", nullptr);
    return true;
}

inline void ApplyLimitedAdminSeam() {
    if (const char* v = std::getenv("BRELLIC_TEST_LIMITED_ADMIN"); v && *v == '1')
        g_system.limitedAdministrator = LimitedOnce;
}
