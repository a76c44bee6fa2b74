#include "hover_bitmap_button.h"

#include <vector>

#include "hover_button.h"

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
    LoadBitmaps(m_nNormalId);
    return TRUE;
}

void CHoverBitmapButton::ShowImage(UINT id) {
    LoadBitmaps(id);
    Invalidate(TRUE);
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
            LoadBitmaps(m_nPressedId);
            break;
        case WM_SETCURSOR:
            // Obtained once and kept: the look is the same as fetching it anew each time.
            if (!m_handCursorCopy) {
                m_handCursorCopy.Reset(CopyHandCursor(WindowsFolder()));
                m_hHandCursor = m_handCursorCopy.Get();
            }
            ::SetCursor(m_hHandCursor);
            return TRUE;
    }
    return CBitmapButton::WindowProc(msg, wp, lp);
}
