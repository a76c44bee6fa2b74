#include "progress_page.h"

#include <commctrl.h>

#include "common/system_seam.h"
#include "framework/function_cast.h"
#include "page_frame.h"
#include "setup/setup_app.h"

namespace {
// The bar's class lives in the common-controls library, loaded from the system
// folder only when the window is first needed: start-up does not pay for it.
bool ProgressBarClassReady() {
    using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = FunctionCast<InitControls>(g_system.bindSystemFunction("comctl32.dll", "InitCommonControlsEx"));
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
    return init && init(&classes);
}

constexpr int kBarRange = 1000;
}  // namespace

void CProgressPage::Begin(ProgressShown when, bool askBeforeStopping) {
    m_nStart = ::GetTickCount();
    m_shown = when;
    m_bAsk = askBeforeStopping;
    m_bTried = m_bStopped = false;
    m_nTotal = 0;
    m_nShownPerMille = -1;
    m_strShownFile = CString();
    ShowWhenDue();
}

bool CProgressPage::KeepGoing() {
    if (m_shown == ProgressShown::Never)
        return true;
    ShowWhenDue();
    Pump();
    return !m_bStopped;
}

void CProgressPage::End() {
    DestroyWindow();
}

void CProgressPage::CopyBegins(uint64_t totalBytes) {
    m_nTotal = totalBytes;
}

bool CProgressPage::Copying(const CString& destination, uint64_t bytesDone) {
    ShowWhenDue();
    if (m_hWnd) {
        if (destination != m_strShownFile) {
            m_strShownFile = destination;
            ::SetDlgItemTextA(m_hWnd, IDC_PROGRESS_FILE, destination);
        }
        int perMille = m_nTotal ? static_cast<int>(bytesDone * kBarRange / m_nTotal) : 0;
        if (perMille != m_nShownPerMille) {
            m_nShownPerMille = perMille;
            ::SendDlgItemMessageA(m_hWnd, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(perMille), 0);
        }
    }
    Pump();
    return !m_bStopped;
}

void CProgressPage::ShowWhenDue() {
    if (m_bTried || m_shown == ProgressShown::Never ||
        (m_shown == ProgressShown::AfterAMoment && ::GetTickCount() - m_nStart < kShowAfterMs))
        return;
    m_bTried = true;
    // Without the bar's class the installation simply goes on unseen.
    if (!ProgressBarClassReady() || !Create())
        return;
    ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    ::SetForegroundWindow(m_hWnd);
    ::UpdateWindow(m_hWnd);
}

// The installation runs on this thread: between its steps the window gets
// its messages, so it paints, moves and hears Cancel.
void CProgressPage::Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (m_hWnd && ::IsDialogMessageA(m_hWnd, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

BOOL CProgressPage::OnInitDialog() {
    CWizardPage::OnInitDialog();
    SetPageIcon(*this, m_hIcon);
    // Where the confirmation page was; a run without pages has none and centres.
    PlaceWhereLastPageWas(*this);
    ::SendDlgItemMessageA(m_hWnd, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, kBarRange);
    m_bar.SubclassDlgItem(IDC_PROGRESS_BAR, m_hWnd);
    return FinishOpening();
}

// Escape, the close box and Cancel: the installation stops and is undone.
void CProgressPage::OnCancel() {
    if (m_bStopped)
        return;
    if (!m_bAsk || MessageBox(kQuitQuestion, kPageCaption, MB_YESNO) == IDYES)
        m_bStopped = true;
}

// The next page opens where this one was left.
void CProgressPage::OnMove(int, int) {
    RecordPageRect(*this);
}
