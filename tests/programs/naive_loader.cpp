// What an installer that loads a library by its bare name does: the control
// case for the planted-library tests.
#include <windows.h>

int main(int argc, char** argv) {
    return argc > 1 && ::LoadLibraryA(argv[1]) ? 0 : 1;
}
