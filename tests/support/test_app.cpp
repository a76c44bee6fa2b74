#include "test_app.h"

#include <cstring>

#include "common/system_seam.h"
#include "setup/debug_log.h"

TestSetupApp::TestSetupApp() {
    m_hInstance = ::GetModuleHandleA(nullptr);
    m_strTitle = "setup";
    ConnectTraceToLog();
    g_strDebugLog.Empty();
}

SystemSeamGuard::SystemSeamGuard() {
    m_saved = g_system;
}

SystemSeamGuard::~SystemSeamGuard() {
    g_system = m_saved;
}
