// Stand-in for a system library that old systems lack; setup only copies it.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}

extern "C" __declspec(dllexport) int BrellicStandInVersion() {
    return 1;
}
