// Stand-in for the sibling reader shipped on the media.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ::MessageBoxA(nullptr, "Brellic Leafview - a stand-in document reader.", "Brellic Leafview", MB_OK);
    return 0;
}
