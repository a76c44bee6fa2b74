// The install-type page's large picture buttons: one bitmap for normal, one
// while the pointer rests on the button, one once it is pressed; over the
// button the pointer is a hand.
#pragma once
#include <windows.h>

#include "framework/afx_string.h"
#include "framework/button.h"
#include "framework/scoped_handles.h"

class CHoverBitmapButton : public CBitmapButton {
public:
    // Remembers the three bitmap resources and shows the normal one.
    BOOL SetBitmaps(UINT nNormalId, UINT nHoverId, UINT nPressedId);

    HCURSOR m_hHandCursor = nullptr;
    UINT m_nNormalId = 0;
    UINT m_nHoverId = 0;
    UINT m_nPressedId = 0;
    BOOL m_bTracking = FALSE;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ShowImage(UINT id);
    ScopedCursor m_handCursorCopy;
};

// A copy of the hand cursor, owned by the caller: cursor 106 of "winhlp32.exe"
// in the given Windows folder when it has one, else the system's hand.
HCURSOR CopyHandCursor(const CString& windowsFolder);
