// The protection Program Files gives its folders, for an installation for all
// users that lies elsewhere: otherwise a folder on a data drive inherits the
// drive root's "Authenticated Users: Modify", and any user could replace the
// editor that administrators then run.
#pragma once
#include "framework/afx_string.h"

// Administrators and SYSTEM full control, Users read and execute, inherited by
// everything inside, nothing inherited from the parent.
inline constexpr char kProgramFilesLikeSddl[] = "D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";

// Makes the folder with that protection from the start, so that nobody else
// can put anything into it before the first file is copied; as CreateDirectory.
bool CreateProtectedFolder(const CString& folder);

// Makes a file moved in from elsewhere as if it had been made here: owned by
// whom this process makes its files for (a moved file keeps the owner who
// made it, who could then change it whatever its folder allows), and with
// only what its folder passes on. False on failure.
bool AdoptAsMadeHere(const CString& file);
