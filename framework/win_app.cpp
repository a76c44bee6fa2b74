#include "win_app.h"

#include <vector>

namespace {
CWinApp* g_app = nullptr;
HBRUSH g_dialogBrush = nullptr;
COLORREF g_dialogText = RGB(0, 0, 0);
COLORREF g_dialogBack = RGB(255, 255, 255);
// One hook per thread that asked for the colours (tests run pages on several threads).
thread_local HHOOK g_cbtHook = nullptr;
const char kColourOldProc[] = "FrameworkColourOldProc";

// Plain window subclassing, so the common-controls library is never needed
// (Windows would look for it beside the program first, and loading it costs
// start-up time).
LRESULT CALLBACK ColourSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto old = reinterpret_cast<WNDPROC>(reinterpret_cast<LONG_PTR>(::GetPropA(hwnd, kColourOldProc)));
    switch (msg) {
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORMSGBOX: {
            HDC dc = reinterpret_cast<HDC>(wp);
            ::SetTextColor(dc, g_dialogText);
            ::SetBkColor(dc, g_dialogBack);
            return reinterpret_cast<LRESULT>(g_dialogBrush);
        }
        case WM_NCDESTROY:
            if (old)
                ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
            ::RemovePropA(hwnd, kColourOldProc);
            break;
    }
    return old ? ::CallWindowProcA(old, hwnd, msg, wp, lp) : ::DefWindowProcA(hwnd, msg, wp, lp);
}

// Every dialog window of the thread, message boxes included, gets the colours.
LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
        HWND hwnd = reinterpret_cast<HWND>(wp);
        char cls[16] = {};
        if (::GetClassNameA(hwnd, cls, sizeof cls) && lstrcmpA(cls, "#32770") == 0) {
            LONG_PTR old = ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ColourSubclassProc));
            ::SetPropA(hwnd, kColourOldProc, reinterpret_cast<HANDLE>(old));
        }
    }
    return ::CallNextHookEx(g_cbtHook, code, wp, lp);
}
}  // namespace

CWinApp::CWinApp() {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = nullptr;
}

void CWinApp::SetDialogBkColor(COLORREF background, COLORREF text) {
    g_dialogBack = background;
    g_dialogText = text;
    if (g_dialogBrush)
        ::DeleteObject(g_dialogBrush);
    g_dialogBrush = ::CreateSolidBrush(background);
    if (!g_cbtHook)
        g_cbtHook = ::SetWindowsHookExA(WH_CBT, CbtProc, nullptr, ::GetCurrentThreadId());
}

// The system's own controls have long been three-dimensional; as in current
// versions of the framework this is kept for callers and does nothing.
void CWinApp::Enable3dControls() {}

CWinApp* AfxGetApp() {
    return g_app;
}

HINSTANCE AfxGetInstanceHandle() {
    return g_app && g_app->m_hInstance ? g_app->m_hInstance : ::GetModuleHandleA(nullptr);
}

CString CommandLineTail(const char* raw) {
    if (!raw)
        return CString();
    const char* p = raw;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    return CString(p);
}

CString ProgramTitleFromPath(const char* modulePath) {
    CString path(modulePath);
    int slash = path.ReverseFind('\\');
    CString name = path.Mid(slash + 1);
    int dot = name.ReverseFind('.');
    return dot >= 0 ? name.Left(dot) : name;
}

CString GetModulePath(HMODULE module) {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameA(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return CString();
        if (n < buffer.size())
            return CString(buffer.data(), static_cast<int>(n));
        if (buffer.size() >= 32768)
            return CString();
        buffer.resize(buffer.size() * 2);
    }
}

UINT AfxMessageBoxFlags(UINT type) {
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
            case MB_OK:
            case MB_OKCANCEL:
            case MB_YESNO:
            case MB_YESNOCANCEL:
                type |= MB_ICONEXCLAMATION;
                break;
        }
    }
    return type;
}

int AfxMessageBox(const char* text, UINT type) {
    CString caption = g_app ? g_app->m_strTitle : ProgramTitleFromPath(GetModulePath());
    return ::MessageBoxA(nullptr, text, caption, AfxMessageBoxFlags(type));
}
