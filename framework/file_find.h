// Wildcard search with the framework's stepping: FindNextFile returns FALSE when
// it moves onto the last match, and that match is still current and examined.
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
