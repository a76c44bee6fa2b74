#include "wizard_driver.h"

#include "common/single_run.h"
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

HWND WaitForPage(const WindowSource& windows, Page page, int timeoutMs) {
    return WaitFor(
        windows, [page](HWND hwnd) { return PageOf(hwnd) == page; }, timeoutMs);
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

// A run still ending (or a page test's setup object in this process) may hold
// the lock a moment longer; a run started then would end at once with 1618.
bool WaitSingleRunFree(int timeoutMs) {
    ScopedHandle lock(::CreateMutexA(nullptr, FALSE, kSingleRunName));
    if (!lock)
        return true;
    DWORD waited = ::WaitForSingleObject(lock.Get(), static_cast<DWORD>(timeoutMs));
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED)
        return false;
    ::ReleaseMutex(lock.Get());
    return true;
}

namespace {
const std::string& AfterTheLockIsFree(const std::string& exe) {
    EXPECT_TRUE(WaitSingleRunFree()) << "another run of setup or uninstall holds the lock";
    return exe;
}
}  // namespace

SetupRun::SetupRun(const std::string& mediaDir, const SetupOptions& options)
    : m_process(AfterTheLockIsFree(SetupExe(mediaDir, options.seamed)),
                options.args,
                options.workingDir.empty() ? mediaDir : options.workingDir,
                options.env) {}

HWND SetupRun::Await(const std::function<bool(HWND)>& test, int timeoutMs) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND hwnd : Windows()())
                if (test(hwnd))
                    return (found = hwnd) != nullptr;
            return !m_process.Running();
        },
        timeoutMs);
    return found;
}

HWND SetupRun::WaitPage(Page page, int timeoutMs) const {
    return Await([page](HWND hwnd) { return PageOf(hwnd) == page; }, timeoutMs);
}

HWND SetupRun::Box(const std::string& fragment, int timeoutMs) const {
    return Await([&](HWND hwnd) { return IsBoxWith(hwnd, fragment); }, timeoutMs);
}

std::string SetupRun::Describe() const {
    return "setup " + m_process.State() + ", showing " + DescribeWindows(Windows());
}

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
