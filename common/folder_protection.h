// The protection Program Files gives its folders, for an installation for all
// users that lies elsewhere: otherwise a folder on a data drive inherits the
// drive root's "Authenticated Users: Modify", and any user could replace the
// editor that administrators then run.
#pragma once
#include "framework/afx_string.h"

// Administrators and SYSTEM full control, Users read and execute, inherited by
// everything inside, nothing inherited from the parent.
inline constexpr char kProgramFilesLikeSddl[] = "D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";

// Applies that protection; false on failure.
bool ProtectLikeProgramFiles(const CString& folder);

// Drops whatever protection the file brought along and gives it what its
// folder passes on, as a file made there gets; false on failure.
bool InheritFolderProtection(const CString& file);
