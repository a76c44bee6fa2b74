// The log of an unattended (or /LOG) run: a UTF-8 file written as the run goes,
// so a run that is killed leaves its log up to that point.
#pragma once
#include <windows.h>

#include "framework/afx_string.h"
#include "framework/scoped_handles.h"

class CRunLog {
public:
    // Creates the file, or adds to it; an empty path gives
    // "<temp>\<prefix> <yyyy-mm-dd hh-mm-ss>.log".
    bool Open(const CString& path, const char* defaultPrefix, bool append = false);
    void Close() { m_file.Reset(); }
    bool IsOpen() const { return m_file.IsValid(); }
    const CString& Path() const { return m_path; }

    // Text in the program's code page, written as UTF-8.
    void Write(const char* text);
    // "name: value" and a line end.
    void Field(const char* name, const char* value);

private:
    ScopedHandle m_file;
    CString m_path;
};

// "2026-12-08 11-44-27", the local time as a file name may hold it.
CString FileNameTimeStamp(const SYSTEMTIME& time);
