// Path arithmetic of the folder and file operations. Plain C++, no system calls.
#pragma once
#include <vector>

#include "framework/afx_string.h"

// Folder (with or without its trailing backslash) joined with a file name.
CString PathInFolder(const CString& folder, const CString& name);

// Pattern that lists a folder's entries: "<folder>\*.*", or "<folder>*.*" when
// it already ends with a backslash. An empty folder gives "\*.*".
CString FolderSearchPattern(const CString& folder);

// A path cut into the folders to create one after another. The root is what
// cannot be created and is kept whole: "\\server\share\" of a network path, or
// "\" of a path rooted on the current drive. A drive ("C:") is the first
// component. Empty components (doubled or trailing backslashes) are dropped.
struct FolderSteps {
    CString root;
    std::vector<CString> components;
};
FolderSteps SplitFolderSteps(const CString& path);
