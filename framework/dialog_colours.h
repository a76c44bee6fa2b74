// Background and text colour of every dialog window (message boxes included)
// that one thread creates while the owner lives. Each thread has its own
// colours; the owner may be released on any thread, and after that the
// thread's new dialogs keep the system's colours.
#pragma once
#include <windows.h>

#include "scoped_handles.h"

class CDialogColours {
public:
    // Colours the calling thread's dialogs from now on.
    CDialogColours(COLORREF background, COLORREF text);
    ~CDialogColours();
    CDialogColours(const CDialogColours&) = delete;
    CDialogColours& operator=(const CDialogColours&) = delete;

    DWORD ThreadId() const { return m_threadId; }

private:
    friend struct DialogColourAccess;
    DWORD m_threadId;
    COLORREF m_background;
    COLORREF m_text;
    ScopedGdiObject m_brush;
    HHOOK m_hook = nullptr;
    CDialogColours* m_next = nullptr;  // the next older live owner of any thread
};
