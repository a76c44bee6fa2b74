// Removal time: the uninstaller's removal run, from its start (the moment the
// user confirmed) to its success message, against Wine's own "rmdir /s /q" of
// a copy of the same tree, alternately in one run. Prints medians and the ratio.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {
const char* const kInstalled[][2] = {
    {"Scrivo.ex_", "Scrivo.exe"},     {"readme.txt", "readme.txt"},           {"uninstall.ex_", "uninstall.exe"},
    {"BRLXCJK.BIN", "BRLXCJK.BIN"},   {"what's new.txt", "what's new.txt"},   {"Known Issues.txt", "Known Issues.txt"},
    {"leafview.ex_", "leafview.exe"}, {"scrivoguide.pdf", "scrivoguide.pdf"},
};

double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

bool MakeTree(const std::string& media, const std::string& folder) {
    ::CreateDirectoryA(folder.c_str(), nullptr);
    for (const auto& file : kInstalled)
        if (!::CopyFileA((media + "\\" + file[0]).c_str(), (folder + "\\" + file[1]).c_str(), FALSE))
            return false;
    return true;
}

void Record(const std::string& folder) {
    HKEY key;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Brellic Software\\Pagewright", 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &key, nullptr) == ERROR_SUCCESS) {
        std::string value = folder + "\\";
        ::RegSetValueExA(key, "SetupPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1));
        ::RegCloseKey(key);
    }
}

struct Search {
    DWORD pid;
    HWND box;
};

BOOL CALLBACK FindSuccessBox(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    char text[256] = {};
    HWND label = ::GetDlgItem(hwnd, 0xFFFF);
    if (owner == s->pid && ::IsWindowVisible(hwnd) && label && ::GetWindowTextA(label, text, sizeof text) &&
        std::string(text).find("successfully removed") != std::string::npos) {
        s->box = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Runs the removal and returns the milliseconds to its success message; -1 on failure.
double TimeRemoval(const std::string& copy, const std::string& folder) {
    std::string cmd = "\"" + copy + "\" " + folder + "\\";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    double start = Now();
    if (!::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    double ms = -1;
    Search search{pi.dwProcessId, nullptr};
    while (Now() - start < 30000) {
        ::EnumWindows(FindSuccessBox, reinterpret_cast<LPARAM>(&search));
        if (search.box) {
            ms = Now() - start;
            ::PostMessageA(search.box, WM_COMMAND, IDOK, 0);
            break;
        }
        if (::WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0)
            break;
    }
    if (::WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
        ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return ms;
}

double TimeRmdir(const std::string& folder) {
    char comspec[MAX_PATH] = "C:\\windows\\system32\\cmd.exe";
    ::GetEnvironmentVariableA("COMSPEC", comspec, MAX_PATH);
    std::string cmd = "\"" + std::string(comspec) + "\" /c rmdir /s /q \"" + folder + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    double start = Now();
    if (!::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return -1;
    ::WaitForSingleObject(pi.hProcess, 30000);
    double ms = Now() - start;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return ::GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES ? ms : -1;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: removal_bench MEDIA-FOLDER [ROUNDS]\n");
        return 2;
    }
    std::string media = argv[1];
    int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    std::string copyFolder = std::string(temp) + "Brellic Pagewright";
    ::CreateDirectoryA(copyFolder.c_str(), nullptr);
    std::string base = std::string(temp) + "brellic-removal-bench";
    ::CreateDirectoryA(base.c_str(), nullptr);
    std::vector<double> removal, rmdir;
    for (int i = 0; i <= rounds; ++i) {
        // A copy of its own each round: the previous copy's deletion runs at
        // idle priority and may still be pending. The mode test looks only at
        // the folder.
        std::string copy = copyFolder + "\\Uninstall-" + std::to_string(i) + ".exe";
        std::string folder = base + "\\Pagewright";
        std::string other = base + "\\Copy";
        ::CopyFileA((media + "\\uninstall.ex_").c_str(), copy.c_str(), FALSE);
        if (!MakeTree(media, folder) || !MakeTree(media, other)) {
            std::fprintf(stderr, "could not lay out the trees\n");
            return 1;
        }
        Record(folder);
        double a = TimeRemoval(copy, folder);
        double b = TimeRmdir(other);
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "a removal did not complete (%.1f, %.1f)\n", a, b);
            return 1;
        }
        if (i > 0) {  // the first round warms the caches
            removal.push_back(a);
            rmdir.push_back(b);
        }
    }
    double mr = Median(removal), mc = Median(rmdir);
    std::printf("removal of one installation, median of %d rounds\n", rounds);
    std::printf("  uninstall.exe removal run (start to success message) : %8.1f ms\n", mr);
    std::printf("  cmd /c rmdir /s /q of the same tree                  : %8.1f ms\n", mc);
    std::printf("  ratio removal / rmdir                                : %8.2f (goal: at most 2)\n", mr / mc);
    return 0;
}
