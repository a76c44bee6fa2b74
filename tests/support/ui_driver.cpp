#include "ui_driver.h"

#include <cstring>

ChildProcess::ChildProcess(const std::string& exe,
                           const std::string& args,
                           const std::string& cwd,
                           const std::vector<std::string>& extraEnv) {
    std::string commandLine = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    std::vector<char> env;
    if (!extraEnv.empty()) {
        char* block = ::GetEnvironmentStringsA();
        for (const char* p = block; *p; p += std::strlen(p) + 1)
            env.insert(env.end(), p, p + std::strlen(p) + 1);
        ::FreeEnvironmentStringsA(block);
        for (const std::string& e : extraEnv)
            env.insert(env.end(), e.c_str(), e.c_str() + e.size() + 1);
        env.push_back('\0');
    }
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, env.empty() ? nullptr : env.data(),
                         cwd.empty() ? nullptr : cwd.c_str(), &si, &pi)) {
        ::CloseHandle(pi.hThread);
        m_process.Reset(pi.hProcess);
        m_id = pi.dwProcessId;
    }
}

ChildProcess::ChildProcess(DWORD pid)
    : m_process(pid ? ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, pid)
                    : nullptr),
      m_id(pid) {}

ChildProcess ChildProcess::OfWindow(HWND hwnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    return ChildProcess(pid);
}

ChildProcess::~ChildProcess() {
    // A failed test must not leave the program waiting behind a message box.
    if (Running()) {
        ::TerminateProcess(m_process.Get(), 99);
        ::WaitForSingleObject(m_process.Get(), 5000);
    }
}

int ChildProcess::WaitExit(int timeoutMs) {
    if (!m_process || ::WaitForSingleObject(m_process.Get(), static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.Get(), &code);
    return static_cast<int>(code);
}

bool ChildProcess::Running() const {
    return m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

std::string WindowText(HWND hwnd) {
    char buf[8192] = {};
    ::SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, nullptr);
    return buf;
}

std::string WindowClass(HWND hwnd) {
    char buf[256] = {};
    ::GetClassNameA(hwnd, buf, sizeof buf);
    return buf;
}

BOOL CALLBACK CollectVisibleWindow(HWND hwnd, LPARAM lp) {
    if (::IsWindowVisible(hwnd))
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

namespace {
BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}
}  // namespace

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> found;
    ::EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> TopWindowsOf(DWORD pid) {
    std::vector<HWND> visible;
    ::EnumWindows(CollectVisibleWindow, reinterpret_cast<LPARAM>(&visible));
    std::vector<HWND> mine;
    for (HWND hwnd : visible) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hwnd, &owner);
        if (owner == pid)
            mine.push_back(hwnd);
    }
    return mine;
}

HWND WaitForWindow(DWORD pid, const std::function<bool(HWND)>& test, int timeoutMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        for (HWND hwnd : TopWindowsOf(pid))
            if (test(hwnd))
                return hwnd;
        if (static_cast<int>(::GetTickCount() - start) > timeoutMs)
            return nullptr;
        ::Sleep(50);
    }
}

HWND WaitForDialog(DWORD pid, const std::string& title, int controlId, int timeoutMs) {
    return WaitForWindow(
        pid,
        [&](HWND hwnd) {
            return WindowClass(hwnd) == "#32770" && !IsMessageBox(hwnd) &&
                   (title.empty() || WindowText(hwnd) == title) &&
                   (controlId == 0 || ::GetDlgItem(hwnd, controlId) != nullptr);
        },
        timeoutMs);
}

bool IsMessageBox(HWND hwnd) {
    // A message box has a static text control and no edit; our pages all carry bitmaps or edits.
    if (WindowClass(hwnd) != "#32770" || ::GetDlgItem(hwnd, 0xFFFF) == nullptr || MessageBoxText(hwnd).empty())
        return false;
    for (HWND child : ChildWindows(hwnd)) {
        std::string cls = WindowClass(child);
        bool bitmap =
            ::lstrcmpiA(cls.c_str(), "Static") == 0 && (::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
        if (bitmap || ::lstrcmpiA(cls.c_str(), "Edit") == 0)
            return false;
    }
    return true;
}

std::string MessageBoxText(HWND box) {
    HWND text = ::GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : std::string();
}

HWND WaitForMessageBox(DWORD pid, const std::string& fragment, int timeoutMs) {
    return WaitForWindow(
        pid, [&](HWND hwnd) { return IsMessageBox(hwnd) && MessageBoxText(hwnd).find(fragment) != std::string::npos; },
        timeoutMs);
}

void PressButton(HWND dialog, int id) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void ClickButton(HWND dialog, int id) {
    ::PostMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool WaitGone(HWND hwnd, int timeoutMs) {
    DWORD start = ::GetTickCount();
    while (::IsWindow(hwnd) && ::IsWindowVisible(hwnd)) {
        if (static_cast<int>(::GetTickCount() - start) > timeoutMs)
            return false;
        ::Sleep(30);
    }
    return true;
}

std::string ControlText(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    return control ? WindowText(control) : std::string();
}

void Settle(int ms) {
    ::Sleep(static_cast<DWORD>(ms));
}
