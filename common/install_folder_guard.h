// The installation folder rule applied to this machine: its system and user
// folders, and each folder as written and as the system resolves it.
#pragma once
#include <vector>

#include "common/install_folder_rule.h"
#include "framework/afx_string.h"

// The system's and the user's own folders (Windows, system, temporary folder,
// profile, program files, desktop, documents, application data, Start menu),
// each in its long and its resolved form, with trailing backslashes; the
// Windows folder is also a tree nothing may lie in.
SystemFolders CurrentSystemFolders();

// The rule on the text, then on the folder as the system resolves it (a short
// name or a junction must not hide a system folder or a drive root).
FolderProblem CheckInstallFolder(const CString& folder, const SystemFolders& system);

// TRUE for a folder that is one of the protected ones or lies above one.
bool IsProtectedFolder(const CString& folder, const std::vector<CString>& protectedFolders);
