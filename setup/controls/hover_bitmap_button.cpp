#include "hover_bitmap_button.h"

#include <vector>

#include "accessible_proxy.h"
#include "framework/dialog.h"
#include "high_contrast.h"
#include "hover_button.h"
#include "scaled_art.h"

namespace {
const int kHelpViewerHandCursor = 106;

CString WindowsFolder() {
    std::vector<char> buffer(MAX_PATH + 1);
    UINT n = ::GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    if (n >= buffer.size()) {
        buffer.resize(n + 1);
        n = ::GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    }
    return n > 0 && n < buffer.size() ? CString(buffer.data(), static_cast<int>(n)) : CString();
}
}  // namespace

// The help viewer is read as a plain data file: none of its code runs in
// setup. Where it is missing (newer systems, Wine) the system's hand serves.
HCURSOR CopyHandCursor(const CString& windowsFolder) {
    HCURSOR copy = nullptr;
    if (!windowsFolder.IsEmpty()) {
        CString viewer = windowsFolder + "\\winhlp32.exe";
        ScopedModule module(::LoadLibraryExA(viewer, nullptr, LOAD_LIBRARY_AS_DATAFILE));
        if (module) {
            if (HCURSOR hand = ::LoadCursorA(module.Get(), MAKEINTRESOURCEA(kHelpViewerHandCursor)))
                copy = ::CopyIcon(hand);
        }
    }
    if (!copy)
        copy = ::CopyIcon(::LoadCursorA(nullptr, IDC_HAND));
    return copy;
}

BOOL CHoverBitmapButton::SetBitmaps(UINT nNormalId, UINT nHoverId, UINT nPressedId) {
    m_nNormalId = nNormalId;
    m_nHoverId = nHoverId;
    m_nPressedId = nPressedId;
    Show(m_nNormalId);
    return TRUE;
}

void CHoverBitmapButton::FitToDpi(UINT dpi) {
    if (dpi == kBaseDpi && !m_fitted[0])
        return;
    const UINT ids[3] = {m_nNormalId, m_nHoverId, m_nPressedId};
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    for (int i = 0; i < 3; ++i) {
        m_fitted[i].Reset(dpi == kBaseDpi
                              ? nullptr
                              : MakeFittedArt(ids[i], ArtFit::Contain, SIZE{rc.right, rc.bottom}, RGB(255, 255, 255)));
    }
    Show(m_nShownId);
}

void CHoverBitmapButton::Show(UINT id) {
    m_nShownId = id;
    if (!m_fitted[0])
        LoadBitmaps(id);
}

void CHoverBitmapButton::ShowImage(UINT id) {
    Show(id);
    Invalidate(TRUE);
}

void CHoverBitmapButton::DrawItem(LPDRAWITEMSTRUCT item) {
    const UINT ids[3] = {m_nNormalId, m_nHoverId, m_nPressedId};
    HGDIOBJ image = nullptr;
    for (int i = 0; i < 3; ++i)
        if (ids[i] == m_nShownId)
            image = m_fitted[i].Get();
    if (HighContrastOn()) {
        // No picture: the caption on the theme's button face, in its colours.
        RECT r = item->rcItem;
        ::FillRect(item->hDC, &r, ::GetSysColorBrush(COLOR_BTNFACE));
        ::FrameRect(item->hDC, &r, ::GetSysColorBrush(COLOR_BTNTEXT));
        int saved = ::SaveDC(item->hDC);
        if (auto font = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)))
            ::SelectObject(item->hDC, font);
        ::SetBkMode(item->hDC, TRANSPARENT);
        ::SetTextColor(item->hDC, ::GetSysColor(COLOR_BTNTEXT));
        CString caption = GetWindowTextString(m_hWnd);
        ::DrawTextA(item->hDC, caption, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::RestoreDC(item->hDC, saved);
        if (item->itemState & ODS_FOCUS) {
            ::InflateRect(&r, -3, -3);
            ::DrawFocusRect(item->hDC, &r);
        }
        return;
    }
    if (!image) {
        CBitmapButton::DrawItem(item);
    } else {
        DrawBitmapInto(item->hDC, item->rcItem, image);
    }
    // The pictures have no focus look of their own: once the keyboard is in
    // use, the focused one gets the system's focus rectangle inside its tile.
    if (m_bKeyboardCue && (item->itemState & ODS_FOCUS) && !(item->itemState & ODS_NOFOCUSRECT)) {
        BITMAP shown{};
        ::GetObjectA(image ? image : NormalBitmap(), sizeof shown, &shown);
        RECT cue{item->rcItem.left, item->rcItem.top, item->rcItem.left + shown.bmWidth,
                 item->rcItem.top + shown.bmHeight};
        ::IntersectRect(&cue, &cue, &item->rcItem);
        int inset = ::GetSystemMetrics(SM_CXEDGE) + 2;
        ::InflateRect(&cue, -inset, -inset);
        ::DrawFocusRect(item->hDC, &cue);
    }
}

LRESULT CHoverBitmapButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_MOUSEMOVE:
            RequestHoverAndLeave(m_hWnd, m_bTracking);
            break;
        case WM_MOUSEHOVER:
            ShowImage(m_nHoverId);
            return 0;
        case WM_MOUSELEAVE:
            m_bTracking = FALSE;
            ShowImage(m_nNormalId);
            return 0;
        case WM_LBUTTONDOWN:
            Show(m_nPressedId);
            break;
        case WM_SETCURSOR:
            // Obtained once and kept: the look is the same as fetching it anew each time.
            if (!m_handCursorCopy) {
                m_handCursorCopy.Reset(CopyHandCursor(WindowsFolder()));
                m_hHandCursor = m_handCursorCopy.Get();
            }
            ::SetCursor(m_hHandCursor);
            return TRUE;
        case WM_SETFOCUS:
            // Focus moved by Tab or an arrow: the keyboard is in use, whether
            // or not the window's state ever hid the focus.
            for (int key : {VK_TAB, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN})
                if (::GetKeyState(key) < 0)
                    m_bKeyboardCue = true;
            break;
        case WM_UPDATEUISTATE:
            if (LOWORD(wp) == UIS_CLEAR && (HIWORD(wp) & UISF_HIDEFOCUS)) {
                m_bKeyboardCue = true;
                Invalidate(FALSE);
            }
            break;
        case WM_GETOBJECT:
            if (LRESULT answer = AnswerAccessibility(m_hWnd, AccessibleKind::PushButton, wp, lp))
                return answer;
            break;
    }
    return CBitmapButton::WindowProc(msg, wp, lp);
}
