// One run of setup or uninstall of this product at a time, across sessions.
#pragma once
#include <windows.h>

#include "framework/scoped_handles.h"

class CSingleRun {
public:
    CSingleRun() = default;
    ~CSingleRun() { Release(); }
    CSingleRun(const CSingleRun&) = delete;
    CSingleRun& operator=(const CSingleRun&) = delete;

    // False when another run holds the lock for longer than waitMs. A copy that
    // its starter hands over to waits a little: the starter lets go as it starts it.
    // An administrator's run counts only a lock that an administrator made: a
    // standard user's object of the same name cannot turn every run away.
    bool Acquire(DWORD waitMs = 0);
    void Release();

private:
    ScopedHandle m_mutex;
    bool m_owned = false;
};

inline constexpr char kSingleRunName[] = "Global\\Brellic Pagewright Setup and Uninstall";
// The names an administrator's run tries in turn when one was made by somebody else.
inline constexpr int kAdministratorLockNames = 4;
