// uninstall.exe for whole-program tests, with what a test must not wait out
// chosen through the environment:
//   BRELLIC_TEST_LOCK_WAIT_MS=N  a removal run waits N ms, not 10 s, for another run's lock
//   BRELLIC_TEST_LIMITED_ADMIN=1  an administrator's limited token (see limited_admin_seam.h)
// Everything else is the real program.
#include <cstdlib>

#include "tests/programs/limited_admin_seam.h"
#include "uninstall/uninstall_app.h"

namespace {
class SeamedUninstallApp : public CUninstallApp {
public:
    BOOL InitInstance() override {
        ApplyLimitedAdminSeam();
        if (const char* v = std::getenv("BRELLIC_TEST_LOCK_WAIT_MS"); v && std::atoi(v) >= 0)
            m_nLockWaitMs = static_cast<DWORD>(std::atoi(v));
        return CUninstallApp::InitInstance();
    }
};
}  // namespace

SeamedUninstallApp theApp;
