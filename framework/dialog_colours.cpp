#include "dialog_colours.h"

namespace {
const char kColourOldProc[] = "FrameworkColourOldProc";

// The live owners. The window procedures run on the thread that made the
// window, while an owner may be released on another, so they look up the
// current thread's owner under the lock rather than keep a pointer.
SRWLOCK g_lock = SRWLOCK_INIT;
CDialogColours* g_newest = nullptr;

class OwnersLock {
public:
    explicit OwnersLock(bool exclusive) : m_exclusive(exclusive) {
        exclusive ? ::AcquireSRWLockExclusive(&g_lock) : ::AcquireSRWLockShared(&g_lock);
    }
    ~OwnersLock() { m_exclusive ? ::ReleaseSRWLockExclusive(&g_lock) : ::ReleaseSRWLockShared(&g_lock); }
    OwnersLock(const OwnersLock&) = delete;
    OwnersLock& operator=(const OwnersLock&) = delete;

private:
    bool m_exclusive;
};
}  // namespace

struct DialogColourAccess {
    // Paints the control colours of the current thread's newest owner into the
    // device context; the brush, or nullptr when the thread has no colours.
    static HBRUSH Apply(HDC dc) {
        OwnersLock lock(false);
        DWORD thread = ::GetCurrentThreadId();
        for (const CDialogColours* owner = g_newest; owner; owner = owner->m_next) {
            if (owner->m_threadId == thread) {
                ::SetTextColor(dc, owner->m_text);
                ::SetBkColor(dc, owner->m_background);
                return static_cast<HBRUSH>(owner->m_brush.Get());
            }
        }
        return nullptr;
    }
};

namespace {
// Plain window subclassing, so the common-controls library is never needed
// (Windows would look for it beside the program first, and loading it costs
// start-up time).
LRESULT CALLBACK ColourSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto old = reinterpret_cast<WNDPROC>(reinterpret_cast<LONG_PTR>(::GetPropA(hwnd, kColourOldProc)));
    switch (msg) {
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORMSGBOX:
            if (HBRUSH brush = DialogColourAccess::Apply(reinterpret_cast<HDC>(wp)))
                return reinterpret_cast<LRESULT>(brush);
            break;
        case WM_NCDESTROY:
            if (old)
                ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
            ::RemovePropA(hwnd, kColourOldProc);
            break;
    }
    return old ? ::CallWindowProcA(old, hwnd, msg, wp, lp) : ::DefWindowProcA(hwnd, msg, wp, lp);
}

// Every dialog window of a coloured thread gets the colours, once even where
// two owners of the thread have hooks.
LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
        HWND hwnd = reinterpret_cast<HWND>(wp);
        char cls[16] = {};
        if (::GetClassNameA(hwnd, cls, sizeof cls) && lstrcmpA(cls, "#32770") == 0 &&
            !::GetPropA(hwnd, kColourOldProc)) {
            LONG_PTR old = ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ColourSubclassProc));
            ::SetPropA(hwnd, kColourOldProc, reinterpret_cast<HANDLE>(old));
        }
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}
}  // namespace

CDialogColours::CDialogColours(COLORREF background, COLORREF text)
    : m_threadId(::GetCurrentThreadId()),
      m_background(background),
      m_text(text),
      m_brush(::CreateSolidBrush(background)),
      m_hook(::SetWindowsHookExA(WH_CBT, CbtProc, nullptr, m_threadId)) {
    OwnersLock lock(true);
    m_next = g_newest;
    g_newest = this;
}

CDialogColours::~CDialogColours() {
    {
        OwnersLock lock(true);
        for (CDialogColours** link = &g_newest; *link; link = &(*link)->m_next) {
            if (*link == this) {
                *link = m_next;
                break;
            }
        }
    }
    // A thread's hook can be removed from any thread; one whose thread has
    // ended is gone already and the call just fails.
    if (m_hook)
        ::UnhookWindowsHookEx(m_hook);
}
