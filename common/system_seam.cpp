#include "system_seam.h"

#include <cstring>
#include <string>

namespace {
HMODULE LoadFromSystemFolder(const char* name) {
    char path[MAX_PATH * 2];
    if (!SystemLibraryPath(name, path, sizeof path))
        return nullptr;
    return ::LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// Libraries bound here stay loaded for the life of the process, like a static import.
FARPROC BindFromSystemFolder(const char* library, const char* function) {
    HMODULE module = ::GetModuleHandleA(library);
    if (!module)
        module = LoadFromSystemFolder(library);
    return module ? ::GetProcAddress(module, function) : nullptr;
}
}  // namespace

bool SystemLibraryPath(const char* name, char* out, size_t outSize) {
    char folder[MAX_PATH];
    UINT n = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH || !name)
        return false;
    std::string path = std::string(folder) + "\\" + name;
    if (path.size() + 1 > outSize)
        return false;
    std::memcpy(out, path.c_str(), path.size() + 1);
    return true;
}

SystemSeam g_system = {
    ::GetVersionExA, ::GetVersion, BindFromSystemFolder,    LoadFromSystemFolder, nullptr, nullptr,
    nullptr,         nullptr,      ::SystemParametersInfoA,
};
