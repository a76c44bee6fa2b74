// The baseline for setup's unattended run: the smallest program that copies the
// same files, started the same way. Without arguments it only starts and ends.
// bare_copy <source folder> <target folder> {<source name> <target name>}...
// creates the target folder, copies each pair with CopyFileA and prints the
// loop's own time; it ends with 1 when a copy fails.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3)
        return 0;
    std::string source = argv[1];
    std::string target = argv[2];
    LARGE_INTEGER start, end, frequency;
    ::QueryPerformanceCounter(&start);
    ::CreateDirectoryA(target.c_str(), nullptr);
    int failed = 0;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (!::CopyFileA((source + "\\" + argv[i]).c_str(), (target + "\\" + argv[i + 1]).c_str(), FALSE))
            ++failed;
    }
    ::QueryPerformanceCounter(&end);
    ::QueryPerformanceFrequency(&frequency);
    std::printf("loop_ms %.1f\n",
                1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
    return failed ? 1 : 0;
}
