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
    // Shows the three drawings of the scale nearest the DPI, made the size of
    // the button; at 96 DPI, until another DPI came, the resources as they are.
    void FitToDpi(UINT dpi);
    void DrawItem(LPDRAWITEMSTRUCT item) override;

    HCURSOR m_hHandCursor = nullptr;
    UINT m_nNormalId = 0;
    UINT m_nHoverId = 0;
    UINT m_nPressedId = 0;
    BOOL m_bTracking = FALSE;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ShowImage(UINT id);
    void Show(UINT id);
    ScopedCursor m_handCursorCopy;
    UINT m_nShownId = 0;
    bool m_bKeyboardCue = false;  // the keyboard was used: the focus is shown
    ScopedGdiObject m_fitted[3];  // normal, hover, pressed; empty at 96 DPI
};

// A copy of the hand cursor, owned by the caller: cursor 106 of "winhlp32.exe"
// in the given Windows folder when it has one, else the system's hand.
HCURSOR CopyHandCursor(const CString& windowsFolder);
