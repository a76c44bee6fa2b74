// Runs setup code on a second thread of the test process, so the test thread
// can find and answer the windows it shows. A ProcessEnded exception is caught
// and its exit code kept.
#pragma once
#include <windows.h>

#include <functional>

class Worker {
public:
    explicit Worker(std::function<void()> body);
    ~Worker();  // waits for the body to finish
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // True when the body finished within the time.
    bool Wait(int timeoutMs = 20000);
    bool Ended() const { return m_ended; }
    // The exit code the body asked for, or -1 when it returned normally.
    int ExitCode() const { return m_exitCode; }

private:
    static DWORD WINAPI Run(LPVOID self);
    std::function<void()> m_body;
    HANDLE m_thread = nullptr;
    bool m_ended = false;
    int m_exitCode = -1;
};
