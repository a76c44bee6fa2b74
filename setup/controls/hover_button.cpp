#include "hover_button.h"

#include <commctrl.h>

#include <cstring>

#include "accessible_proxy.h"
#include "framework/afx_string.h"
#include "framework/dialog.h"
#include "high_contrast.h"

namespace {
const int kFaceBrushes = 64;

HGDIOBJ FramePen(int width, COLORREF colour) {
    return ::CreatePen(PS_INSIDEFRAME, width, colour);
}

// Colour of gradient brush i (0 at the top, white; 63 at the bottom): the face
// turns slightly bluer when active and slightly warmer under the pointer.
COLORREF FaceColour(int i, BOOL hover, BOOL active) {
    int grey = hover ? 255 - i / 4 : 255 - i / 3;
    int blue;
    if (!hover)
        blue = active ? 255 - i / 4 : 255 - i / 5;
    else
        blue = active ? 255 - i / 3 : 255 - i / 5;
    return RGB(grey, grey, blue);
}
}  // namespace

void RequestHoverAndLeave(HWND button, BOOL& tracking) {
    if (tracking)
        return;
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_HOVER | TME_LEAVE;
    track.hwndTrack = button;
    track.dwHoverTime = 1;
    // user32's own tracking: the common-controls wrapper would add a static
    // import of comctl32, which Windows looks for beside the program first.
    tracking = ::TrackMouseEvent(&track);
}

CHoverButton::CHoverButton()
    : m_penOutline(FramePen(1, RGB(0, 0, 0))),
      m_hoverPens{ScopedGdiObject(FramePen(3, RGB(250, 196, 88))), ScopedGdiObject(FramePen(3, RGB(251, 202, 106))),
                  ScopedGdiObject(FramePen(2, RGB(252, 210, 121))), ScopedGdiObject(FramePen(2, RGB(229, 151, 0)))},
      m_focusPens{ScopedGdiObject(FramePen(3, RGB(153, 198, 252))), ScopedGdiObject(FramePen(3, RGB(162, 189, 252))),
                  ScopedGdiObject(FramePen(2, RGB(162, 201, 255))), ScopedGdiObject(FramePen(2, RGB(162, 201, 255)))} {}

// A plain or default push button of the template becomes owner-drawn.
void CHoverButton::PreSubclassWindow() {
    CButton::PreSubclassWindow();
    LONG_PTR style = ::GetWindowLongPtrA(m_hWnd, GWL_STYLE);
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, style | BS_OWNERDRAW);
}

LRESULT CHoverButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_MOUSEMOVE:
            RequestHoverAndLeave(m_hWnd, m_bTracking);
            break;
        case WM_MOUSEHOVER:
            m_bHover = TRUE;
            Invalidate(TRUE);
            return 0;
        case WM_MOUSELEAVE:
            m_bHover = FALSE;
            m_bTracking = FALSE;
            Invalidate(FALSE);
            return 0;
        case WM_GETOBJECT:
            if (LRESULT answer = AnswerAccessibility(m_hWnd, AccessibleKind::PushButton, wp, lp))
                return answer;
            break;
    }
    return CButton::WindowProc(msg, wp, lp);
}

void CHoverButton::DrawItem(LPDRAWITEMSTRUCT item) {
    CString caption = GetWindowTextString(m_hWnd);
    auto font = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
    Paint(item->hDC, item->rcItem, item->itemState, caption, font);
}

void CHoverButton::Paint(HDC dc, const RECT& itemRect, UINT itemState, const char* caption, HFONT font) {
    if (HighContrastOn()) {
        PaintInSystemColours(dc, itemRect, itemState, caption, font);
        return;
    }
    int saved = ::SaveDC(dc);
    RECT r = itemRect;
    {
        ScopedSelect pen(dc, m_penOutline.Get());
        ::RoundRect(dc, r.left, r.top, r.right, r.bottom, 5, 5);
    }
    m_bFocus = m_bActive = (itemState & ODS_FOCUS) ? TRUE : FALSE;
    if (itemState & (ODS_SELECTED | ODS_DEFAULT))
        m_bActive = TRUE;
    RECT face = r;
    ::InflateRect(&face, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
    DrawFace(dc, face);
    if (m_bHover || m_bFocus)
        DrawFrame(dc, face);
    if (caption && *caption)
        DrawCaption(dc, face, itemState, caption, font);
    ::RestoreDC(dc, saved);
}

// The theme's button face, frame and text; a thicker frame for the default or
// the pointer, the focus rectangle for the focus.
void CHoverButton::PaintInSystemColours(HDC dc, const RECT& itemRect, UINT itemState, const char* caption, HFONT font) {
    int saved = ::SaveDC(dc);
    RECT r = itemRect;
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    int frame = (m_bHover || (itemState & (ODS_DEFAULT | ODS_SELECTED))) ? 2 : 1;
    for (int i = 0; i < frame; ++i) {
        ::FrameRect(dc, &r, ::GetSysColorBrush(COLOR_BTNTEXT));
        ::InflateRect(&r, -1, -1);
    }
    if (font)
        ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor((itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    RECT text = r;
    if (itemState & ODS_SELECTED)
        ::OffsetRect(&text, 1, 1);
    if (caption && *caption)
        ::DrawTextA(dc, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (itemState & ODS_FOCUS) {
        ::InflateRect(&r, -1, -1);
        ::DrawFocusRect(dc, &r);
    }
    ::RestoreDC(dc, saved);
}

void CHoverButton::DrawCaption(HDC dc, const RECT& face, UINT itemState, const char* caption, HFONT font) {
    HGDIOBJ previousFont = font ? ::SelectObject(dc, font) : nullptr;
    SIZE size{};
    ::GetTextExtentPoint32A(dc, caption, static_cast<int>(std::strlen(caption)), &size);
    int x = (face.left + face.right) / 2 - size.cx / 2;
    int y = (face.top + face.bottom) / 2 - size.cy / 2;
    if (itemState & ODS_SELECTED) {
        ++x;
        ++y;
    }
    int previousMode = ::SetBkMode(dc, TRANSPARENT);
    // Prefix text: the mnemonic is underlined rather than shown as '&'.
    UINT flags = DST_PREFIXTEXT | ((itemState & ODS_DISABLED) ? DSS_DISABLED : 0);
    ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(caption), 0, x, y, size.cx, size.cy, flags);
    ::SetBkMode(dc, previousMode);
    if (previousFont)
        ::SelectObject(dc, previousFont);
}

void CHoverButton::DrawFace(HDC dc, const RECT& face) {
    ScopedGdiObject brushes[kFaceBrushes];
    for (int i = 0; i < kFaceBrushes; ++i)
        brushes[i].Reset(::CreateSolidBrush(FaceColour(i, m_bHover, m_bActive)));
    // One row per pixel from the top row down to the row on the bottom edge.
    int h = face.bottom - face.top;
    for (int k = 0; k <= h; ++k) {
        RECT row{face.left, face.top + k, face.right, face.top + k + 1};
        int index = h > 0 ? (kFaceBrushes - 1) * k / h : 0;
        ::FillRect(dc, &row, static_cast<HBRUSH>(brushes[index].Get()));
    }
}

void CHoverButton::DrawFrame(HDC dc, const RECT& face) {
    bool focusLook = m_bFocus && !m_bHover;
    const FramePens& pens = focusLook ? m_focusPens : m_hoverPens;
    POINT previousPosition{};
    ::MoveToEx(dc, face.left, face.bottom - 1, &previousPosition);
    HGDIOBJ previousPen = ::SelectObject(dc, pens.left.Get());
    ::LineTo(dc, face.left, face.top + 1);
    ::SelectObject(dc, pens.right.Get());
    ::MoveToEx(dc, face.right - 1, face.bottom - 1, nullptr);
    ::LineTo(dc, face.right - 1, face.top);
    ::SelectObject(dc, pens.top.Get());
    ::MoveToEx(dc, face.left - 1, face.top, nullptr);
    ::LineTo(dc, face.right - 1, face.top);
    ::SelectObject(dc, pens.bottom.Get());
    ::MoveToEx(dc, face.left, face.bottom, nullptr);
    ::LineTo(dc, face.right - 1, face.bottom);
    ::SelectObject(dc, previousPen);
    ::MoveToEx(dc, previousPosition.x, previousPosition.y, nullptr);
    if (focusLook)
        ::DrawFocusRect(dc, &face);
}
