#include "setup_driver.h"

#include "test_paths.h"

bool HasChildText(HWND window, const std::string& fragment) {
    for (HWND child : ChildWindows(window))
        if (WindowText(child).find(fragment) != std::string::npos)
            return true;
    return false;
}

HWND WaitForPage(DWORD pid, const std::string& fragment, int timeoutMs) {
    return WaitForWindow(
        pid,
        [&](HWND hwnd) {
            return WindowClass(hwnd) == "#32770" && !IsMessageBox(hwnd) && HasChildText(hwnd, fragment);
        },
        timeoutMs);
}

bool CopyMedia(const std::string& to) {
    return CopyFolderFiles(TEST_MEDIA_DIR, to);
}

std::string SeamedSetupPath() {
    return std::string(TEST_DATA_DIR) + "\\setup_seamed.exe";
}

SetupRun::SetupRun(const std::string& mediaDir, const SetupOptions& options) {
    std::string exe = mediaDir + "\\setup.exe";
    if (options.seamed) {
        exe = mediaDir + "\\setup_seamed.exe";
        CopyOneFile(SeamedSetupPath(), exe);
    }
    m_process = std::make_unique<ChildProcess>(exe, options.args,
                                               options.workingDir.empty() ? mediaDir : options.workingDir, options.env);
}

bool SetupRun::Leave(HWND page, int buttonId) {
    if (!page)
        return false;
    ClickButton(page, buttonId);
    return WaitGone(page);
}

bool SetupRun::QuitFrom(HWND page) {
    if (!page)
        return false;
    PressButton(page, IDCANCEL);
    HWND question = Box(kQuitQuestion);
    if (!question)
        return false;
    PressButton(question, IDYES);
    return FinishInterrupted();
}

bool SetupRun::FinishInterrupted() {
    HWND interrupted = Page(kInterruptedText);
    if (!interrupted)
        return false;
    ClickButton(interrupted, IDOK);
    return WaitExit() == 0;
}
