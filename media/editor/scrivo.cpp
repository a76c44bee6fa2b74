// Stand-in for the product's editor: a window titled as the real one, so setup
// can start it and find it, and a version resource setup can read.
#include <windows.h>

#include <cstdlib>

namespace {
LRESULT CALLBACK EditorProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        static const char kText[] = "Brellic Pagewright - a stand-in editor window.";
        ::TextOutA(dc, 16, 16, kText, sizeof kText - 1);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    return ::DefWindowProcA(hwnd, msg, wp, lp);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = EditorProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "BrellicPagewrightEditor";
    ::RegisterClassA(&wc);
    // Tests ask for a late window to see how long setup waits for it.
    char delay[16] = {};
    if (::GetEnvironmentVariableA("SCRIVO_WINDOW_DELAY_MS", delay, sizeof delay) > 0)
        ::Sleep(static_cast<DWORD>(std::atoi(delay)));
    HWND hwnd = ::CreateWindowA(wc.lpszClassName, "Brellic Pagewright", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 480, 320, nullptr, nullptr, instance, nullptr);
    ::ShowWindow(hwnd, show);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}
