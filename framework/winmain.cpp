#include "dll_search.h"
#include "win_app.h"

// The programs' entry point: fills in the application object and runs it.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystemFolder();
    CWinApp* app = AfxGetApp();
    if (!app)
        return 0;
    app->m_hInstance = instance;
    app->m_lpCmdLine = CommandLineTail(::GetCommandLineA());
    app->m_strTitle = ProgramTitleFromPath(GetModulePath());
    app->InitInstance();
    return app->ExitInstance();
}
