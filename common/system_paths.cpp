#include "system_paths.h"

#include <windows.h>

#include <vector>

#include "common/text_rules.h"
#include "framework/scoped_handles.h"
#include "framework/win_app.h"

namespace {
// Calls a Win32 "fill this buffer" function until the whole text fits.
template <typename Fill>
CString GrowingText(Fill fill) {
    std::vector<char> buffer(MAX_PATH + 1);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD n = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return CString();
        if (n < buffer.size())
            return CString(buffer.data(), static_cast<int>(n));
        buffer.resize(static_cast<size_t>(n) + 1);
    }
    return CString();
}

CString AsFolder(const CString& path) {
    return path.IsEmpty() ? path : WithTrailingBackslash(path);
}
}  // namespace

CString TempFolder() {
    return AsFolder(GrowingText([](char* b, DWORD n) { return ::GetTempPathA(n, b); }));
}

CString SystemFolder() {
    return AsFolder(GrowingText([](char* b, DWORD n) { return static_cast<DWORD>(::GetSystemDirectoryA(b, n)); }));
}

CString WindowsFolder() {
    return AsFolder(GrowingText([](char* b, DWORD n) { return static_cast<DWORD>(::GetWindowsDirectoryA(b, n)); }));
}

CString ProgramFolder() {
    return UpToLastBackslash(GetModulePath());
}

CString LongPathOf(const CString& path) {
    CString longPath = GrowingText([&](char* b, DWORD n) { return ::GetLongPathNameA(path, b, n); });
    return longPath.IsEmpty() ? path : longPath;
}

CString ResolvedFolder(const CString& folder) {
    ScopedHandle handle(::CreateFileA(folder, FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle)
        return CString();
    CString path = GrowingText([&](char* b, DWORD n) {
        return ::GetFinalPathNameByHandleA(handle.Get(), b, n, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
    if (path.Left(8) == "\\\\?\\UNC\\")
        path = "\\\\" + path.Mid(8);
    else if (path.Left(4) == "\\\\?\\")
        path = path.Mid(4);
    return AsFolder(path);
}

bool IsSameFolder(const CString& folder, const CString& other) {
    if (folder.CompareNoCase(other) == 0)
        return true;
    CString where = ResolvedFolder(folder);
    return !where.IsEmpty() && where.CompareNoCase(ResolvedFolder(other)) == 0;
}

bool IsAnsiLeadByte(unsigned char c) {
    return ::IsDBCSLeadByte(c) != FALSE;
}
