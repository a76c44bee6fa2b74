#include "function_cast.h"
#include "win_app.h"

// The programs' entry point: fills in the application object and runs it.
namespace {
// Nothing may be loaded from the program's own folder or the current folder:
// an installer often runs from a downloads folder where anything can lie.
void RestrictDllSearchToSystemFolder() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = FunctionCast<SetDefaultDllDirectoriesFn>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories"));
    if (setDefault)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryA("");
}
}  // namespace

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
