#include "page_frame.h"

#include "framework/win_app.h"
#include "setup/res/resource.h"
#include "setup/setup_app.h"

void SetPageIcon(CDialog& page, HICON& icon) {
    icon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_SETUP));
    ::SendMessageA(page.m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageA(page.m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void PlaceOnSharedRect(CDialog& page) {
    CSetupApp& app = SetupApp();
    const RECT& rc = app.m_rcPage;
    ::MoveWindow(page.m_hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
    // The move that comes with the window's creation arrives before the page
    // knows its window, so this placement is the opening move the flag stands
    // for, even when it did not move the window at all.
    app.m_bPageOpening = 0;
}

void PlaceWhereLastPageWas(CDialog& window) {
    const RECT& rc = SetupApp().m_rcPage;
    if (::IsRectEmpty(&rc))
        window.CenterWindow();
    else
        ::MoveWindow(window.m_hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
}

void RecordPageRect(CDialog& page) {
    ::GetWindowRect(page.m_hWnd, &SetupApp().m_rcPage);
}

void TrackInnerPageMove(CDialog& page) {
    CSetupApp& app = SetupApp();
    if (app.m_bPageOpening == 1) {
        app.m_bPageOpening = 0;
        return;
    }
    RecordPageRect(page);
}

void ConfirmQuit(CDialog& page) {
    if (page.MessageBox(kQuitQuestion, kPageCaption, MB_YESNO) == IDYES)
        page.EndDialog(IDCANCEL);
}
