// What the wizard's pages and the install engine share: where the files come
// from and go, what the copy list holds, the choices made, and what an earlier
// installation left.
#pragma once
#include <windows.h>

#include <vector>

#include "framework/afx_string.h"

struct InstallState {
    CString m_strOldSetupPath;
    int m_bSameDir = 0;
    std::vector<CString> m_pCopyList;
    int m_nCopyCount = 0;
    HKEY m_hRootKey = HKEY_LOCAL_MACHINE;
    CString m_strInstallDir;
    int m_bDesktopShortcut = 1;
    int m_bStartMenuIcon = 1;
    int m_bRunProgram = 1;
    CString m_strSourceDir;
    // The media are the download's own unpacked copy, there for this setup
    // alone: their files may be moved into place instead of copied.
    bool m_bMediaMovable = false;
    // Started by a deployment tool as LocalSystem: installed for all users, the
    // desktop link on the all-users desktop, and no editor started for nobody.
    bool m_bLocalSystem = false;
};
