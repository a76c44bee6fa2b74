#include "any_process.h"

#include <tlhelp32.h>

#include <vector>

#include "ui_driver.h"

namespace {
std::vector<HWND> AllVisibleTopWindows() {
    std::vector<HWND> found;
    ::EnumWindows(CollectVisibleWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool HasText(HWND hwnd, const std::string& fragment) {
    return IsMessageBox(hwnd) && MessageBoxText(hwnd).find(fragment) != std::string::npos;
}
}  // namespace

HWND WaitForAnyMessageBox(const std::string& fragment, int timeoutMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        for (HWND hwnd : AllVisibleTopWindows())
            if (HasText(hwnd, fragment))
                return hwnd;
        if (static_cast<int>(::GetTickCount() - start) > timeoutMs)
            return nullptr;
        ::Sleep(50);
    }
}

bool NoMessageBoxWith(const std::string& fragment) {
    for (HWND hwnd : AllVisibleTopWindows())
        if (HasText(hwnd, fragment))
            return false;
    return true;
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const char* name, const char* value) : m_name(name) {
    std::vector<char> buffer(32768);
    DWORD n = ::GetEnvironmentVariableA(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    m_hadValue = n > 0 && n < buffer.size();
    if (m_hadValue)
        m_saved.assign(buffer.data(), n);
    ::SetEnvironmentVariableA(name, value);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
    ::SetEnvironmentVariableA(m_name.c_str(), m_hadValue ? m_saved.c_str() : nullptr);
}

bool WaitFileGone(const std::string& path, int timeoutMs) {
    DWORD start = ::GetTickCount();
    while (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        if (static_cast<int>(::GetTickCount() - start) > timeoutMs)
            return false;
        ::Sleep(50);
    }
    return true;
}

namespace {
bool AnyProcessNamed(const char* exeName) {
    ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = ::Process32First(snapshot.Get(), &entry); more && !found;
         more = ::Process32Next(snapshot.Get(), &entry))
        found = ::lstrcmpiA(entry.szExeFile, exeName) == 0;
    return found;
}
}  // namespace

bool WaitProcessesEnded(const char* exeName, int timeoutMs) {
    DWORD start = ::GetTickCount();
    while (AnyProcessNamed(exeName)) {
        if (static_cast<int>(::GetTickCount() - start) > timeoutMs)
            return false;
        ::Sleep(50);
    }
    return true;
}
