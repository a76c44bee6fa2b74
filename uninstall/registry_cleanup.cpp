#include "registry_cleanup.h"

#include <string>
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

namespace {
// Names are read and used as wide text, sized by what the key reports: a name
// in a script outside the ANSI code page (or longer in its bytes than in its
// characters) is found and deleted like any other.
void DeleteValuesOf(HKEY key, int count) {
    DWORD maxNameLength = CountsOf(key).maxValueNameLength;
    std::vector<wchar_t> buffer(maxNameLength + 2);
    std::vector<std::wstring> names;
    for (int i = 0; i < count; ++i) {
        DWORD size = static_cast<DWORD>(buffer.size());
        if (::RegEnumValueW(key, static_cast<DWORD>(i), buffer.data(), &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            return;
        names.emplace_back(buffer.data(), size);
    }
    for (const std::wstring& name : names)
        if (::RegDeleteValueW(key, name.c_str()) != ERROR_SUCCESS)
            return;
}

bool DeleteSubKeysOf(HKEY key) {
    KeyCounts counts = CountsOf(key);
    std::vector<wchar_t> name(counts.maxSubKeyLength + 2);
    // Each pass deletes the sub-key it read, so the next one moves up to index 0.
    for (DWORD i = 0; i < counts.subKeys; ++i) {
        DWORD size = static_cast<DWORD>(name.size());
        if (::RegEnumKeyExW(key, 0, name.data(), &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return false;
        HKEY opened = nullptr;
        if (::RegOpenKeyExW(key, name.data(), 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS)
            return false;
        ScopedRegKey subKey(opened);
        KeyCounts inner = CountsOf(subKey.Get());
        if (inner.subKeys > 0 && !DeleteSubKeysOf(subKey.Get()))
            return false;
        DeleteValuesOf(subKey.Get(), static_cast<int>(inner.values));
        subKey.Reset();
        if (::RegDeleteKeyW(key, name.data()) != ERROR_SUCCESS)
            return false;
    }
    return true;
}
}  // namespace

BOOL DeleteSubKeys(HKEY, HKEY hKey, const char*) {
    return DeleteSubKeysOf(hKey) ? TRUE : FALSE;
}

void DeleteKeyValues(HKEY hRoot, const char* lpszPath, int nValues) {
    ScopedRegKey key = OpenAllAccess(hRoot, lpszPath);
    if (key && nValues > 0)
        DeleteValuesOf(key.Get(), nValues);
}

// Both roots, less one that records another installation beside this one.
void CUninstallApp::RemoveProductKeys() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        if (!BelongsToOther(root) && !HoldsOthersRecord(root))
            DeleteRegTree(root, kProductKey);
}

void CUninstallApp::RemoveUninstallEntries() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        if (!BelongsToOther(root))
            DeleteRegTree(root, kUninstallKey);
}

void CUninstallApp::CleanRegistry() {
    RemoveProductKeys();
    RemoveUninstallEntries();
}
