// Wildcard search that looks one match ahead: FindNextFile makes the next match
// current and returns FALSE when that one is the last, so the loop
// `more = FindFile(); while (more) { more = FindNextFile(); ... }` sees every match.
#pragma once
#include "afx_string.h"
#include "scoped_handles.h"

class CFileFind {
public:
    BOOL FindFile(const char* pattern);
    BOOL FindNextFile();
    void Close();

    CString GetFileName() const { return CString(m_current.cFileName); }
    BOOL IsDirectory() const { return (m_current.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    BOOL IsDots() const;

private:
    ScopedFindHandle m_find;
    WIN32_FIND_DATAA m_current{};
    WIN32_FIND_DATAA m_next{};
    bool m_hasNext = false;
};
