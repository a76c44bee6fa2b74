#include "registry_cleanup.h"

#include <vector>

#include "common/product_catalogue.h"
#include "common/system_seam.h"
#include "framework/afx_string.h"
#include "framework/scoped_handles.h"
#include "uninstall_app.h"

namespace {
bool IsWindows95Family() {
    return (g_system.getVersion() & 0x80000000u) != 0;
}

struct KeyCounts {
    DWORD subKeys = 0;
    DWORD maxSubKeyLength = 0;
    DWORD values = 0;
    DWORD maxValueNameLength = 0;
};

// Zero counts when the key cannot be asked.
KeyCounts CountsOf(HKEY key) {
    KeyCounts counts;
    if (::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &counts.subKeys, &counts.maxSubKeyLength, nullptr,
                           &counts.values, &counts.maxValueNameLength, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        counts = KeyCounts{};
    return counts;
}

ScopedRegKey OpenAllAccess(HKEY parent, const char* path) {
    ScopedRegKey key;
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(parent, path, 0, KEY_ALL_ACCESS, &opened) == ERROR_SUCCESS)
        key.Reset(opened);
    return key;
}
}  // namespace

void DeleteRegTree(HKEY hRoot, const char* lpszKey) {
    if (IsWindows95Family()) {
        ::RegDeleteKeyA(hRoot, lpszKey);
        return;
    }
    ScopedRegKey key = OpenAllAccess(hRoot, lpszKey);
    if (key) {
        DeleteSubKeys(hRoot, key.Get(), lpszKey);
        DeleteKeyValues(hRoot, lpszKey, static_cast<int>(CountsOf(key.Get()).values));
    }
    ::RegDeleteKeyA(hRoot, lpszKey);
}

BOOL DeleteSubKeys(HKEY hRoot, HKEY hKey, const char* lpszPath) {
    KeyCounts counts = CountsOf(hKey);
    // Names are sized by what the key reports, so no name is cut short.
    std::vector<char> name(counts.maxSubKeyLength + 2);
    // Each pass deletes the sub-key it read, so the next one moves up to index 0.
    for (DWORD i = 0; i < counts.subKeys; ++i) {
        DWORD size = static_cast<DWORD>(name.size());
        if (::RegEnumKeyExA(hKey, 0, name.data(), &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return FALSE;
        ScopedRegKey subKey = OpenAllAccess(hKey, name.data());
        if (!subKey)
            return FALSE;
        KeyCounts inner = CountsOf(subKey.Get());
        CString childPath = CString(lpszPath) + "\\" + name.data();
        if (inner.subKeys > 0 && !DeleteSubKeys(hRoot, subKey.Get(), childPath))
            return FALSE;
        DeleteKeyValues(hRoot, childPath, static_cast<int>(inner.values));
        subKey.Reset();
        if (::RegDeleteKeyA(hRoot, childPath) != ERROR_SUCCESS)
            return FALSE;
    }
    return TRUE;
}

void DeleteKeyValues(HKEY hRoot, const char* lpszPath, int nValues) {
    ScopedRegKey key = OpenAllAccess(hRoot, lpszPath);
    if (!key || nValues <= 0)
        return;
    DWORD maxNameLength = CountsOf(key.Get()).maxValueNameLength;
    std::vector<char> buffer(maxNameLength + 2);
    std::vector<CString> names;
    for (int i = 0; i < nValues; ++i) {
        DWORD size = static_cast<DWORD>(buffer.size());
        if (::RegEnumValueA(key.Get(), static_cast<DWORD>(i), buffer.data(), &size, nullptr, nullptr, nullptr,
                            nullptr) != ERROR_SUCCESS)
            return;
        names.push_back(CString(buffer.data(), static_cast<int>(size)));
    }
    for (const CString& name : names)
        if (::RegDeleteValueA(key.Get(), name) != ERROR_SUCCESS)
            return;
}

void CUninstallApp::RemoveProductKeys() {
    DeleteRegTree(HKEY_LOCAL_MACHINE, kProductKey);
    DeleteRegTree(HKEY_CURRENT_USER, kProductKey);
}

void CUninstallApp::RemoveUninstallEntries() {
    DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    DeleteRegTree(HKEY_CURRENT_USER, kUninstallKey);
}

void CUninstallApp::CleanRegistry() {
    RemoveProductKeys();
    RemoveUninstallEntries();
}
