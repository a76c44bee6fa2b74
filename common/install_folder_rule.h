// Which folders setup may install into and the uninstaller may later remove
// from. Both programs ask this one rule, so that setup never accepts a folder
// the uninstaller would refuse, leaving an installation nobody can remove.
#pragma once
#include <vector>

#include "framework/afx_string.h"

enum class FolderProblem {
    None,
    Empty,         // no folder given and none recorded
    TooLong,       // more than 259 characters with its trailing backslash
    NotAbsolute,   // not "X:\..." nor "\\server\share\..."
    NotPlain,      // quotes, wildcards, forward slashes, ".", "..", device prefixes and the like
    DriveRoot,     // "X:\" or "\\server\share\"
    SystemFolder,  // a folder of the system or the user's own, or above one of them
};

// The folders an installation folder must keep clear of, each with a trailing
// backslash: protected ones may not be the folder nor lie below it (the walk
// up would reach them), forbidden trees may not hold it at all.
struct SystemFolders {
    std::vector<CString> protectedFolders;
    std::vector<CString> forbiddenTrees;
};

// The text alone: a plain full path below a root, that the system reads the
// same way whoever asks.
FolderProblem CheckInstallFolderText(const CString& folder);

// Both folders end with a backslash; letters compare without regard to case.
bool IsSameOrAbove(const CString& folder, const CString& other);
bool IsSameOrBelow(const CString& folder, const CString& other);

// SystemFolder when the folder is, or lies above, one of the protected folders,
// or lies anywhere within one of the forbidden trees (the Windows folder).
FolderProblem CheckAgainstSystemFolders(const CString& folder,
                                        const std::vector<CString>& protectedFolders,
                                        const std::vector<CString>& forbiddenTrees);

// The whole rule on the folder as written: its text, then the system's folders.
FolderProblem InstallFolderProblem(const CString& folder, const SystemFolders& system);
