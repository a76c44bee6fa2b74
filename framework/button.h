// Push buttons. An owner-drawn button draws itself: the dialog hands WM_DRAWITEM
// to the button object it belongs to.
#pragma once
#include "scoped_handles.h"
#include "wnd.h"

class CButton : public CWnd {
public:
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
};

// Copies the bitmap, from its top left corner, into rc of the device context.
void DrawBitmapInto(HDC dc, const RECT& rc, HGDIOBJ image);

// Owner-drawn button showing one of four bitmaps: selected while pressed,
// focused while focused, disabled while disabled (each only if loaded), else normal.
class CBitmapButton : public CButton {
public:
    // Drops all four images, then loads those given (0 = none). TRUE if the normal image loaded.
    BOOL LoadBitmaps(UINT normal, UINT selected = 0, UINT focus = 0, UINT disabled = 0);
    void DrawItem(LPDRAWITEMSTRUCT item) override;
    HBITMAP NormalBitmap() const { return static_cast<HBITMAP>(m_images[0].Get()); }

private:
    ScopedGdiObject m_images[4];
};
