#include "shell_window.h"

#include <windows.h>

#include <mutex>

#include "framework/function_cast.h"

namespace {
using SetShellWindowFn = BOOL(WINAPI*)(HWND);

DWORD WINAPI ShellWindowThread(void* ready) {
    HWND window =
        ::CreateWindowExA(0, "STATIC", "test shell", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    auto setShellWindow =
        FunctionCast<SetShellWindowFn>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "SetShellWindow"));
    if (window && setShellWindow)
        setShellWindow(window);
    ::SetEvent(static_cast<HANDLE>(ready));
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&message);
    return 0;
}
}  // namespace

void ProvideShellWindow() {
    static std::once_flag once;
    std::call_once(once, [] {
        HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HANDLE thread = ::CreateThread(nullptr, 0, ShellWindowThread, ready, 0, nullptr);
        if (thread) {
            ::WaitForSingleObject(ready, 5000);
            ::CloseHandle(thread);
        }
        ::CloseHandle(ready);
    });
}
