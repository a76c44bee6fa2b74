// The first run's hand-over to its copy in the temporary folder.
#pragma once
#include <windows.h>

#include "../framework/afx_string.h"

// TRUE when the open file holds exactly the bytes of the file at sourcePath.
bool SameContent(HANDLE file, const CString& sourcePath);

// TRUE for an existing folder that is a junction or a symbolic link.
bool IsLinkedFolder(const CString& folder);
