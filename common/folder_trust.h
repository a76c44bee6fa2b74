// The folders an all-users installation goes into or through, read from the
// system and judged by the folder trust rule.
#pragma once
#include "common/folder_trust_rule.h"
#include "framework/afx_string.h"

struct UntrustedFolder {
    CString path;  // empty: every existing folder on the way can be trusted
    FolderTrust why = FolderTrust::Trusted;
};

// The first existing folder from the drive (its root excepted) down to folder
// that an all-users installation must not use. A folder whose descriptor
// cannot be read counts as one that others may change.
UntrustedFolder FindUntrustedFolderOnTheWay(const CString& folder);

// For the log and the message: why the folder was refused.
const char* FolderTrustReason(FolderTrust why);

// True when a file or folder on the path, the last one included, is a link or
// mount point (a reparse point), as far as the path exists.
bool PassesThroughLink(const CString& path);

// True when the file is owned by the Administrators, LocalSystem,
// TrustedInstaller or this run's own user: nobody a standard user could be.
bool OwnerIsTrusted(const CString& file);
