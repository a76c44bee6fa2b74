// Keeps the removal inside the installation folder: the folders of the system
// and of the user are never an installation folder and are never removed.
#pragma once
#include <vector>

#include "framework/afx_string.h"
#include "uninstall_rules.h"

// The system's and the user's own folders (Windows, system, temporary folder,
// profile, program files, desktop, documents, application data, Start menu),
// each in its long and its resolved form, with trailing backslashes.
std::vector<CString> ProtectedFolders();

// The trees nothing is ever deleted from: the Windows folder.
std::vector<CString> ForbiddenTrees();

// The checks of the text, then those of the folder as the system resolves it.
FolderProblem CheckInstallFolder(const CString& folder);

// TRUE for a folder that is one of the protected ones or lies above one.
bool IsProtectedFolder(const CString& folder, const std::vector<CString>& protectedFolders);
