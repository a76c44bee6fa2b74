#include "file_find.h"

#include <cstring>

BOOL CFileFind::FindFile(const char* pattern) {
    Close();
    m_find.Reset(::FindFirstFileA(pattern ? pattern : "*.*", &m_next));
    m_hasNext = m_find.IsValid();
    return m_hasNext;
}

BOOL CFileFind::FindNextFile() {
    if (!m_hasNext)
        return FALSE;
    m_current = m_next;
    m_hasNext = ::FindNextFileA(m_find.Get(), &m_next) != FALSE;
    return m_hasNext;
}

void CFileFind::Close() {
    m_find.Reset();
    m_hasNext = false;
}

BOOL CFileFind::IsDots() const {
    return IsDirectory() && (std::strcmp(m_current.cFileName, ".") == 0 || std::strcmp(m_current.cFileName, "..") == 0);
}
