// A setup application object for in-process tests: ending the process becomes
// an exception the test can catch, the failure report is counted instead of
// shown, and the trace starts empty.
#pragma once
#include <stdexcept>

#include "common/system_seam.h"
#include "setup/setup_app.h"

struct ProcessEnded : std::runtime_error {
    explicit ProcessEnded(int code) : std::runtime_error("process ended"), exitCode(code) {}
    int exitCode;
};

class TestSetupApp : public CSetupApp {
public:
    TestSetupApp();
    [[noreturn]] void EndProcess(int exitCode) override { throw ProcessEnded(exitCode); }
    void ShowFailureReport() override { ++reportsShown; }
    int reportsShown = 0;
};

// Restores the real system facts after a test chose its own.
class SystemSeamGuard {
public:
    SystemSeamGuard();
    ~SystemSeamGuard();

private:
    SystemSeam m_saved;
};
