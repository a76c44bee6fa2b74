#include "wizard_driver.h"

#include "setup/res/resource.h"
#include "test_fs.h"
#include "test_paths.h"

namespace {
bool Has(HWND dialog, int id) {
    return ::GetDlgItem(dialog, id) != nullptr;
}
}  // namespace

const char* PageName(Page page) {
    switch (page) {
        case Page::Welcome:
            return "welcome";
        case Page::Agreement:
            return "agreement";
        case Page::InstallType:
            return "install type";
        case Page::Destination:
            return "destination";
        case Page::Confirm:
            return "confirmation";
        case Page::Progress:
            return "progress";
        case Page::Finish:
            return "finish";
        case Page::Interrupted:
            return "interrupted";
        case Page::DebugMessage:
            return "debug messages";
        case Page::None:
            break;
    }
    return "none";
}

Page PageOf(HWND hwnd) {
    if (WindowClass(hwnd) != "#32770" || IsMessageBox(hwnd) || WindowText(hwnd) != "Brellic Pagewright Setup")
        return Page::None;
    if (Has(hwnd, IDC_LICENSE))
        return Page::Agreement;
    if (Has(hwnd, IDC_DEFAULT))
        return Page::InstallType;
    if (Has(hwnd, IDC_BROWSE))
        return Page::Destination;
    if (Has(hwnd, IDC_BACK))
        return Page::Confirm;
    if (Has(hwnd, IDC_RUN_PROGRAM))
        return Page::Finish;
    if (Has(hwnd, IDC_PROGRESS_BAR))
        return Page::Progress;
    if (Has(hwnd, IDC_EDIT))
        return Page::DebugMessage;
    if (Has(hwnd, IDCANCEL))
        return Page::Welcome;
    if (Has(hwnd, IDOK))
        return Page::Interrupted;
    return Page::None;
}

WindowSource WindowsOfProcess(DWORD pid) {
    return [pid] { return TopWindowsOf(pid); };
}

WindowSource WindowsOfThread(const ModalThread& thread) {
    return [&thread] { return thread.Windows(); };
}

HWND WaitFor(const WindowSource& windows, const std::function<bool(HWND)>& test, int timeoutMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        for (HWND hwnd : windows())
            if (test(hwnd))
                return hwnd;
        if (static_cast<int>(::GetTickCount() - start) > timeoutMs)
            return nullptr;
        ::Sleep(20);
    }
}

HWND WaitForPage(const WindowSource& windows, Page page, int timeoutMs) {
    return WaitFor(
        windows, [page](HWND hwnd) { return PageOf(hwnd) == page; }, timeoutMs);
}

HWND WaitForBox(const WindowSource& windows, const std::string& fragment, int timeoutMs) {
    return WaitFor(
        windows,
        [&](HWND hwnd) { return IsMessageBox(hwnd) && MessageBoxText(hwnd).find(fragment) != std::string::npos; },
        timeoutMs);
}

std::string DescribeWindows(const WindowSource& windows) {
    std::string text;
    for (HWND hwnd : windows()) {
        if (!text.empty())
            text += "; ";
        if (IsMessageBox(hwnd))
            text += "box \"" + MessageBoxText(hwnd) + "\"";
        else
            text += std::string(PageName(PageOf(hwnd))) + " \"" + WindowText(hwnd) + "\"";
    }
    return text.empty() ? "no window" : text;
}

void Click(HWND dialog, int id) {
    ::PostMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
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

bool Answer(HWND box, int button) {
    PressButton(box, button);
    return WaitGone(box, 10000);
}

bool ClickAndLeave(HWND page, int button, int timeoutMs) {
    Click(page, button);
    if (WaitGone(page, 5000))
        return true;
    Click(page, button);
    return WaitGone(page, timeoutMs);
}

bool CopyMedia(const std::string& to) {
    return CopyFolderFiles(TEST_MEDIA_DIR, to);
}

std::string SeamedSetupPath() {
    return std::string(TEST_DATA_DIR) + "\\setup_seamed.exe";
}

namespace {
std::string SetupExe(const std::string& mediaDir, bool seamed) {
    if (!seamed)
        return mediaDir + "\\setup.exe";
    std::string exe = mediaDir + "\\setup_seamed.exe";
    CopyOneFile(SeamedSetupPath(), exe);
    return exe;
}
}  // namespace

SetupRun::SetupRun(const std::string& mediaDir, const SetupOptions& options)
    : m_process(SetupExe(mediaDir, options.seamed),
                options.args,
                options.workingDir.empty() ? mediaDir : options.workingDir,
                options.env) {}

bool SetupRun::QuitFrom(HWND page) {
    if (!page)
        return false;
    Click(page, IDCANCEL);
    HWND question = Box(kQuitQuestionText);
    if (!question)
        return false;
    Answer(question, IDYES);
    return FinishInterrupted();
}

bool SetupRun::FinishInterrupted() {
    HWND interrupted = WaitPage(Page::Interrupted);
    if (!interrupted)
        return false;
    Click(interrupted, IDOK);
    return WaitExit() == 0;
}
