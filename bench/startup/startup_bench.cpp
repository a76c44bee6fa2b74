// Start-up time: from process start to the first page being visible, for
// setup.exe and for a minimal dialog program built the same way, measured
// alternately in one run. Prints the medians and their ratio.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {
struct Found {
    DWORD pid;
    HWND hwnd;
};

BOOL CALLBACK FindVisibleDialog(HWND hwnd, LPARAM lp) {
    auto* f = reinterpret_cast<Found*>(lp);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    char cls[16] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    if (owner == f->pid && ::IsWindowVisible(hwnd) && lstrcmpA(cls, "#32770") == 0) {
        f->hwnd = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND VisibleDialogOf(DWORD pid) {
    Found found{pid, nullptr};
    ::EnumWindows(FindVisibleDialog, reinterpret_cast<LPARAM>(&found));
    return found.hwnd;
}

// Milliseconds until a dialog of the new process is visible; -1 on failure.
double TimeToFirstDialog(const std::string& exe) {
    std::string cmd = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER freq, start, now;
    ::QueryPerformanceFrequency(&freq);
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    double ms = -1;
    for (;;) {
        if (VisibleDialogOf(pi.dwProcessId)) {
            ::QueryPerformanceCounter(&now);
            ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(freq.QuadPart);
            break;
        }
        if (::WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0)
            break;
        ::QueryPerformanceCounter(&now);
        if (now.QuadPart - start.QuadPart > freq.QuadPart * 30)
            break;
    }
    ::TerminateProcess(pi.hProcess, 0);
    ::WaitForSingleObject(pi.hProcess, 10000);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return ms;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench SETUP.EXE MINIMAL.EXE [ROUNDS]\n");
        return 2;
    }
    int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 15;
    std::vector<double> setup, minimal;
    TimeToFirstDialog(argv[1]);  // warm the file cache and the server for both
    TimeToFirstDialog(argv[2]);
    for (int i = 0; i < rounds; ++i) {
        double a = TimeToFirstDialog(argv[1]);
        double b = TimeToFirstDialog(argv[2]);
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "a program showed no dialog\n");
            return 1;
        }
        setup.push_back(a);
        minimal.push_back(b);
    }
    double ms = Median(setup), mm = Median(minimal);
    std::printf("start-up to first page, median of %d rounds\n", rounds);
    std::printf("  setup.exe (welcome page) : %8.1f ms\n", ms);
    std::printf("  minimal dialog program   : %8.1f ms\n", mm);
    std::printf("  ratio setup / minimal    : %8.2f (goal: at most 1.25)\n", ms / mm);
    return 0;
}
