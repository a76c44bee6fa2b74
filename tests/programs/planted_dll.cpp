// A library an attacker might plant beside a program (named gdiplus.dll or
// netapi32.dll in the tests). Loading it leaves a mark: its own path is added
// to C:\brellic-planted-loaded.txt.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH] = {};
        DWORD n = ::GetModuleFileNameA(instance, path, MAX_PATH - 2);
        path[n++] = '\r';
        path[n++] = '\n';
        HANDLE mark = ::CreateFileA("C:\\brellic-planted-loaded.txt", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, 0, nullptr);
        if (mark != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ::WriteFile(mark, path, n, &written, nullptr);
            ::CloseHandle(mark);
        }
    }
    return TRUE;
}
