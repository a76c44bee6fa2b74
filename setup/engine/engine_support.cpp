#include "engine_support.h"

#include "common/product_catalogue.h"
#include "common/text_rules.h"
#include "framework/scoped_handles.h"
#include "framework/win_app.h"

bool CanOpenForReading(const CString& path) {
    ScopedHandle file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid();
}

bool FileIsPresent(const CString& path) {
    DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileIsPresent(const CString& path, uint64_t& size) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

CString MediaEditorBesideProgram() {
    return BeforeLastBackslash(GetModulePath()) + "\\" + kEditorMediaName;
}
