// The few facts of the system that tests must be able to choose because Wine
// cannot produce them (a Windows 95 version, a failing group listing, GDI+
// absent). Everything else the programs ask the real system.
#pragma once
#include <windows.h>

struct SystemSeam {
    BOOL(WINAPI* getVersionEx)(LPOSVERSIONINFOA info);
    DWORD(WINAPI* getVersion)();
    // Resolves an exported function of a system library (e.g. "netapi32.dll").
    FARPROC (*bindSystemFunction)(const char* library, const char* function);
    // Loads a library by bare name from the system folder only.
    HMODULE (*loadSystemLibrary)(const char* name);
    // Told after each entry of the install record is on disk (null: nobody);
    // tests end the process there, as a power cut would.
    void (*recordEntryWritten)(int count);
    // Told before each file of the installation is copied (null: nobody); tests
    // slow the copy there to act while it runs.
    void (*fileCopyStarting)(const char* destination);
    // Whether this process runs elevated (null: the system's answer); Wine
    // reports every process elevated, so tests choose it here.
    bool (*processElevated)();
    // Whether this process holds an administrator's limited token, which
    // Windows could elevate (null: the system's answer); Wine has none.
    bool (*limitedAdministrator)();
    // The display settings (a high-contrast theme is one Wine has no switch for).
    BOOL(WINAPI* systemParametersInfo)(UINT action, UINT param, PVOID value, UINT flags);
};

extern SystemSeam g_system;

// "<system folder>\name"; empty on failure.
bool SystemLibraryPath(const char* name, char* out, size_t outSize);
