#include "wine_drives.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <vector>

#include "framework/function_cast.h"
#include "framework/scoped_handles.h"

namespace {
// Wine's own request to its mount manager that winecfg uses to define drives.
struct UnixDriveRequest {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};
const DWORD kDefineUnixDrive = CTL_CODE(0x6d, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

std::string UnixPathOf(const std::string& folder) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    auto toUnix =
        FunctionCast<UnixName>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!toUnix)
        return std::string();
    std::wstring wide(folder.begin(), folder.end());
    char* unix = toUnix(wide.c_str());
    if (!unix)
        return std::string();
    std::string result(unix);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return result;
}

bool DefineDrive(char letter, const std::string& unixPath) {
    ScopedHandle manager(::CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!manager)
        return false;
    std::vector<char> buffer(sizeof(UnixDriveRequest) + unixPath.size() + 1);
    auto* request = reinterpret_cast<UnixDriveRequest*>(buffer.data());
    request->size = static_cast<ULONG>(buffer.size());
    request->letter = static_cast<WCHAR>(letter | 0x20);
    if (!unixPath.empty()) {
        request->type = DRIVE_FIXED;
        request->mountPointOffset = sizeof(UnixDriveRequest);
        std::memcpy(buffer.data() + sizeof(UnixDriveRequest), unixPath.c_str(), unixPath.size() + 1);
    }
    DWORD returned = 0;
    return ::DeviceIoControl(manager.Get(), kDefineUnixDrive, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr,
                             0, &returned, nullptr) != FALSE;
}

bool DriveAnswers(char letter) {
    char root[] = "?:\\*.*";
    root[0] = letter;
    WIN32_FIND_DATAA data;
    ScopedFindHandle search(::FindFirstFileA(root, &data));
    return search.IsValid() || ::GetLastError() != ERROR_PATH_NOT_FOUND;
}
}  // namespace

MappedDrive::MappedDrive(char letter, const std::string& folder) : m_letter(letter) {
    std::string unix = UnixPathOf(folder);
    m_ok = !unix.empty() && DefineDrive(letter, unix);
}

MappedDrive::~MappedDrive() {
    if (m_ok)
        DefineDrive(m_letter, std::string());
}

char UnusedDriveLetter() {
    DWORD drives = ::GetLogicalDrives();
    for (char letter = 'Y'; letter >= 'D'; --letter)
        if (!(drives & (1u << (letter - 'A'))) && !DriveAnswers(letter))
            return letter;
    return 0;
}
