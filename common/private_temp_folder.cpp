#include "common/private_temp_folder.h"

#include <sddl.h>

#include <vector>

#include "common/elevation.h"

namespace {
// RtlGenRandom: the generator behind rand_s, exported by advapi32 under this name.
extern "C" BOOLEAN WINAPI SystemFunction036(PVOID buffer, ULONG length);

bool DeleteTreeNoFollow(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    ScopedFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (find) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = folder + L"\\" + name;
            bool isFolder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
            if (isFolder && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                DeleteTreeNoFollow(path);
                continue;
            }
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!isFolder || !::RemoveDirectoryW(path.c_str()))
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(find.Get(), &found));
    }
    find.Reset();
    if (::RemoveDirectoryW(folder.c_str()))
        return true;
    DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}
}  // namespace

ScopedLocalMemory OwnerOnlySecurityDescriptor() {
    std::string narrow = CurrentUserSid();
    std::wstring user(narrow.begin(), narrow.end());
    if (user.empty())
        return ScopedLocalMemory();
    // An elevated run's folder is closed to the user's everyday processes too,
    // which could otherwise change checked files before they are run.
    std::wstring sddl = L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";
    if (!RunsElevated())
        sddl += L"(A;OICI;FA;;;" + user + L")";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return ScopedLocalMemory();
    return ScopedLocalMemory(descriptor);
}

std::wstring RandomHex(size_t bytes) {
    std::vector<unsigned char> random(bytes);
    if (!SystemFunction036(random.data(), static_cast<ULONG>(bytes)))
        return {};
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring text;
    for (unsigned char b : random) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

bool PrivateTempFolder::Create(const std::wstring& prefix) {
    DWORD length = ::GetTempPathW(0, nullptr);
    if (length == 0)
        return false;
    std::wstring temp(length, L'\0');
    length = ::GetTempPathW(length, temp.data());
    if (length == 0 || length >= temp.size())
        return false;
    temp.resize(length);
    // A name taken in the meantime is simply skipped; a generator that fails is not retried.
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::wstring random = RandomHex(8);
        if (random.empty())
            return false;
        if (CreateAt(temp + prefix + random))
            return true;
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

bool PrivateTempFolder::CreateAt(const std::wstring& path) {
    Remove();
    ScopedLocalMemory descriptor = OwnerOnlySecurityDescriptor();
    if (!descriptor)
        return false;
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor.Get(), FALSE};
    // Fails on anything already there, a link to elsewhere included: nothing is ever reused.
    if (!::CreateDirectoryW(path.c_str(), &attributes))
        return false;
    m_guard.Reset(::CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    bool ours = m_guard && ::GetFileInformationByHandle(m_guard.Get(), &info) &&
                !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (!ours) {
        m_guard.Reset();
        ::RemoveDirectoryW(path.c_str());
        ::SetLastError(ERROR_ALREADY_EXISTS);
        return false;
    }
    m_path = path;
    return true;
}

void PrivateTempFolder::Remove() {
    m_guard.Reset();
    if (m_path.empty())
        return;
    // Files of a process that has just ended can stay locked for a moment.
    for (int attempt = 0; attempt < 40 && !DeleteTreeNoFollow(m_path); ++attempt)
        ::Sleep(50);
    m_path.clear();
}

void PrivateTempFolder::Keep() {
    m_guard.Reset();
    m_path.clear();
}
