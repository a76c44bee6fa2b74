// Asking for an administrator's rights only when the run needs them. The
// programs start with the rights they were given; an administrator whose
// everyday token is a limited one is asked to elevate only for an all-users
// installation or the removal of one, so that an installation for one user
// never prompts (deployment tools install per user without a prompt).
#pragma once
#include <string>

// True when this process runs with a full administrator's (elevated) token.
bool RunsElevated();

// This process's user, as "S-1-5-..."; empty when it cannot be read.
std::string CurrentUserSid();

// True when this process holds an administrator's limited token, one that
// Windows can elevate with the person's consent.
bool RunsAsLimitedAdministrator();

// Starts this program again, elevated, with the given tail, and waits for it.
// Its exit code; 1602 when the person declines, 1603 when it cannot be started.
int RunElevatedCopy(const std::wstring& tail);
