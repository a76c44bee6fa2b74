#include "win_app.h"

#include <vector>

namespace {
CWinApp* g_app = nullptr;
// Guards the application's list of colour owners: pages run on several threads in tests.
SRWLOCK g_coloursLock = SRWLOCK_INIT;
}  // namespace

CWinApp::CWinApp() {
    g_app = this;
}

CWinApp::~CWinApp() {
    EndDialogColours();
    if (g_app == this)
        g_app = nullptr;
}

int CWinApp::ExitInstance() {
    EndDialogColours();
    return 0;
}

void CWinApp::EndDialogColours() {
    std::vector<std::unique_ptr<CDialogColours>> ending;
    ::AcquireSRWLockExclusive(&g_coloursLock);
    ending.swap(m_dialogColours);
    ::ReleaseSRWLockExclusive(&g_coloursLock);
}

void CWinApp::SetDialogBkColor(COLORREF background, COLORREF text) {
    auto colours = std::make_unique<CDialogColours>(background, text);
    std::unique_ptr<CDialogColours> replaced;
    ::AcquireSRWLockExclusive(&g_coloursLock);
    for (auto& owner : m_dialogColours) {
        if (owner->ThreadId() == colours->ThreadId()) {
            replaced.swap(owner);
            owner.swap(colours);
            break;
        }
    }
    if (colours)
        m_dialogColours.push_back(std::move(colours));
    ::ReleaseSRWLockExclusive(&g_coloursLock);
}

// The system's controls have been three-dimensional since Windows 95; the call
// stays for the programs that make it, and does nothing.
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
