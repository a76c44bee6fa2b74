#include "ui_driver.h"

#include <tlhelp32.h>

#include <cstring>

#include "common/product_catalogue.h"

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    DWORD start = ::GetTickCount();
    while (!condition()) {
        if (static_cast<int>(::GetTickCount() - start) >= timeoutMs)
            return false;
        ::Sleep(20);
    }
    return true;
}

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

std::string ChildProcess::State() const {
    if (!m_process)
        return "did not start";
    if (Running())
        return "running";
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.Get(), &code);
    return "ended with " + std::to_string(code);
}

namespace {
BOOL CALLBACK CollectVisibleWindow(HWND hwnd, LPARAM lp) {
    if (::IsWindowVisible(hwnd))
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}
}  // namespace

std::vector<HWND> TopWindowsOf(DWORD pid) {
    std::vector<HWND> mine;
    for (HWND hwnd : WindowsOfAllProcesses()()) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hwnd, &owner);
        if (owner == pid)
            mine.push_back(hwnd);
    }
    return mine;
}

WindowSource WindowsOfProcess(DWORD pid) {
    return [pid] { return TopWindowsOf(pid); };
}

WindowSource WindowsOfThread(DWORD threadId) {
    return [threadId] {
        std::vector<HWND> found;
        ::EnumThreadWindows(threadId, CollectVisibleWindow, reinterpret_cast<LPARAM>(&found));
        return found;
    };
}

WindowSource WindowsOfAllProcesses() {
    return [] {
        std::vector<HWND> found;
        ::EnumWindows(CollectVisibleWindow, reinterpret_cast<LPARAM>(&found));
        return found;
    };
}

std::string WindowText(HWND hwnd) {
    char buf[8192] = {};
    ::SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, nullptr);
    return buf;
}

std::string WindowClass(HWND hwnd) {
    char buf[256] = {};  // class names are at most 256 characters
    ::GetClassNameA(hwnd, buf, sizeof buf);
    return buf;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> found;
    ::EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string ControlText(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    return control ? WindowText(control) : std::string();
}

std::string MessageBoxText(HWND box) {
    HWND text = ::GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : std::string();
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

bool IsBoxWith(HWND hwnd, const std::string& fragment) {
    return IsMessageBox(hwnd) && MessageBoxText(hwnd).find(fragment) != std::string::npos;
}

HWND WaitFor(const WindowSource& windows, const std::function<bool(HWND)>& test, int timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND hwnd : windows())
                if (test(hwnd))
                    return (found = hwnd) != nullptr;
            return false;
        },
        timeoutMs);
    return found;
}

HWND WaitForBox(const WindowSource& windows, const std::string& fragment, int timeoutMs) {
    return WaitFor(
        windows, [&](HWND hwnd) { return IsBoxWith(hwnd, fragment); }, timeoutMs);
}

bool WaitGone(HWND hwnd, int timeoutMs) {
    return WaitUntil([hwnd] { return !::IsWindow(hwnd) || !::IsWindowVisible(hwnd); }, timeoutMs);
}

void Click(HWND dialog, int id) {
    ::PostMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PressButton(HWND dialog, int id) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

bool Answer(HWND box, int button) {
    PressButton(box, button);
    return WaitGone(box, 10000);
}

void PressEscape(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND target = dialog;
    if (::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &info) && info.hwndFocus &&
        (info.hwndFocus == dialog || ::IsChild(dialog, info.hwndFocus)))
        target = info.hwndFocus;
    ::PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    ::PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

void PressCloseBox(HWND dialog) {
    ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void PressKeys(HWND dialog, std::initializer_list<WORD> keys) {
    ::SetForegroundWindow(dialog);
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.end(); key != keys.begin();) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Settle();
}

std::string ClipboardText() {
    std::string text = "<none>";
    if (!::OpenClipboard(nullptr))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

void TypeText(HWND dialog, int editId, const std::string& text) {
    HWND edit = ::GetDlgItem(dialog, editId);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    if (text.empty()) {
        ::SendMessageA(edit, WM_CHAR, VK_BACK, 1);
        return;
    }
    for (char ch : text)
        ::SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(ch), 1);
}

bool IsChecked(HWND dialog, int id) {
    return ::SendMessageA(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsShown(HWND dialog, int id) {
    return ::IsWindowVisible(::GetDlgItem(dialog, id)) != FALSE;
}

void MovePointerTo(int x, int y) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = ::MulDiv(x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = ::MulDiv(y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof input);
}

POINT CentreOf(HWND dialog, int id) {
    RECT rc = WindowRect(::GetDlgItem(dialog, id));
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

void DragWindowTo(HWND window, int x, int y) {
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT WindowRect(HWND window) {
    RECT rc{};
    ::GetWindowRect(window, &rc);
    return rc;
}

::testing::AssertionResult CentredOnWorkArea(HWND window) {
    RECT work{};
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        return ::testing::AssertionFailure() << "no work area";
    RECT rc = WindowRect(window);
    int dx = (rc.left + rc.right) - (work.left + work.right), dy = (rc.top + rc.bottom) - (work.top + work.bottom);
    // Twice the offsets, so that a centre between two pixels passes.
    if (dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "window centre off the work area's by (" << dx / 2.0 << ", " << dy / 2.0
                                         << ") pixels";
}

void Settle(int ms) {
    ::Sleep(static_cast<DWORD>(ms));
}

void CloseEditorWindows() {
    for (int i = 0; i < 10; ++i) {
        HWND editor = ::FindWindowA(nullptr, kEditorWindowTitle);
        if (!editor)
            return;
        ChildProcess process = ChildProcess::OfWindow(editor);
        ::PostMessageA(editor, WM_CLOSE, 0, 0);
        process.WaitExit(10000);
        WaitGone(editor, 5000);
    }
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const char* name, const char* value) : m_name(name) {
    std::vector<char> buffer(32768);
    DWORD n = ::GetEnvironmentVariableA(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    m_hadValue = n > 0 && n < buffer.size();
    if (m_hadValue)
        m_saved.assign(buffer.data(), n);
    ::SetEnvironmentVariableA(name, value);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
    ::SetEnvironmentVariableA(m_name.c_str(), m_hadValue ? m_saved.c_str() : nullptr);
}

namespace {
bool AnyProcessNamed(const char* exeName) {
    ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = ::Process32First(snapshot.Get(), &entry); more && !found;
         more = ::Process32Next(snapshot.Get(), &entry))
        found = ::lstrcmpiA(entry.szExeFile, exeName) == 0;
    return found;
}
}  // namespace

bool WaitProcessesEnded(const char* exeName, int timeoutMs) {
    return WaitUntil([exeName] { return !AnyProcessNamed(exeName); }, timeoutMs);
}
