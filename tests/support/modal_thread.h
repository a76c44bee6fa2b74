// Runs modal setup code (a page, the wizard) on a second thread of the test
// process while the test thread drives its windows, as a person would.
// A ProcessEnded exception ends the run and keeps its exit code.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

class ModalThread {
public:
    explicit ModalThread(std::function<INT_PTR()> body);
    // Ends any modal loop a failed test left open, then waits for the thread.
    ~ModalThread();
    ModalThread(const ModalThread&) = delete;
    ModalThread& operator=(const ModalThread&) = delete;

    DWORD ThreadId() const { return m_threadId; }
    // True when the body finished within the time.
    bool Wait(int timeoutMs = 15000);
    bool Finished() const;
    // What the body returned (a page's result), or -1.
    INT_PTR Result() const { return m_result; }
    bool ProcessEnded() const { return m_processEnded; }
    int ExitCode() const { return m_exitCode; }
    // Visible top-level windows of the thread.
    std::vector<HWND> Windows() const;

private:
    static DWORD WINAPI Run(LPVOID self);
    std::function<INT_PTR()> m_body;
    HANDLE m_thread = nullptr;
    DWORD m_threadId = 0;
    INT_PTR m_result = -1;
    bool m_processEnded = false;
    int m_exitCode = -1;
};
