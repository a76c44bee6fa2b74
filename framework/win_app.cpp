#include "win_app.h"

#include <commctrl.h>

#include <vector>

#include "function_cast.h"

namespace {
// comctl32 is not among the libraries the loader always takes from the system
// folder; a static import would load a copy planted beside the program (the
// uninstaller runs from the temporary folder). Bound at run time instead.
HMODULE Comctl32Module() {
    static HMODULE module = ::LoadLibraryExA("comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module;
}

template <typename Fn>
Fn Comctl32(const char* name) {
    HMODULE module = Comctl32Module();
    return module ? FunctionCast<Fn>(::GetProcAddress(module, name)) : nullptr;
}

LRESULT DefaultSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    static auto fn = Comctl32<decltype(&::DefSubclassProc)>("DefSubclassProc");
    return fn ? fn(hwnd, msg, wp, lp) : ::DefWindowProcA(hwnd, msg, wp, lp);
}

CWinApp* g_app = nullptr;
HBRUSH g_dialogBrush = nullptr;
COLORREF g_dialogText = RGB(0, 0, 0);
COLORREF g_dialogBack = RGB(255, 255, 255);
HHOOK g_cbtHook = nullptr;

LRESULT CALLBACK ColourSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
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
            if (auto remove = Comctl32<decltype(&::RemoveWindowSubclass)>("RemoveWindowSubclass"))
                remove(hwnd, ColourSubclassProc, 1);
            break;
    }
    return DefaultSubclassProc(hwnd, msg, wp, lp);
}

// Every dialog window of the thread, message boxes included, gets the colours.
LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
        HWND hwnd = reinterpret_cast<HWND>(wp);
        char cls[16] = {};
        static auto subclass = Comctl32<decltype(&::SetWindowSubclass)>("SetWindowSubclass");
        if (subclass && ::GetClassNameA(hwnd, cls, sizeof cls) && lstrcmpA(cls, "#32770") == 0)
            subclass(hwnd, ColourSubclassProc, 1, 0);
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

void CWinApp::Enable3dControls() {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES};
    if (auto init = Comctl32<decltype(&::InitCommonControlsEx)>("InitCommonControlsEx"))
        init(&icc);
}

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
