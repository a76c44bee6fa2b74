// The wizard's push button: a rounded black outline, a face with a light
// vertical gradient, the caption centred on it, and a frame of four lines while
// the pointer rests on the button (orange) or it has the focus (blue).
#pragma once
#include <windows.h>

#include "framework/button.h"
#include "framework/scoped_handles.h"

class CHoverButton : public CButton {
public:
    CHoverButton();

    void DrawItem(LPDRAWITEMSTRUCT item) override;
    // Everything DrawItem draws, once it has the caption and the font; lets the
    // look be drawn into any device context.
    void Paint(HDC dc, const RECT& itemRect, UINT itemState, const char* caption, HFONT font);
    virtual void DrawFace(HDC dc, const RECT& face);
    virtual void DrawFrame(HDC dc, const RECT& face);

    BOOL m_bHover = FALSE;     // the pointer rests on the button
    BOOL m_bTracking = FALSE;  // leave and hover notifications are requested
    BOOL m_bFocus = FALSE;     // focused at the last drawing
    BOOL m_bActive = FALSE;    // focused, pressed or the default button at the last drawing

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    struct FramePens {
        ScopedGdiObject left, right, top, bottom;
    };
    void DrawCaption(HDC dc, const RECT& face, UINT itemState, const char* caption, HFONT font);
    void PaintInSystemColours(HDC dc, const RECT& itemRect, UINT itemState, const char* caption, HFONT font);

    ScopedGdiObject m_penOutline;
    FramePens m_hoverPens;
    FramePens m_focusPens;
};

// On a mouse move over the button: asks the system for one hover and one leave
// notification unless a request is active; tracking tells which.
void RequestHoverAndLeave(HWND button, BOOL& tracking);
