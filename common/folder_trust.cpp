#include "common/folder_trust.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "common/elevation.h"
#include "framework/scoped_handles.h"

namespace {
std::string SidText(PSID sid) {
    LPSTR text = nullptr;
    if (!sid || !::ConvertSidToStringSidA(sid, &text))
        return {};
    ScopedLocalMemory owned(text);
    return text;
}

// Read through one handle that does not follow a link, so the facts are the
// folder's own and not those of where a link points.
bool ReadFolderFacts(const CString& path, FolderFacts* facts) {
    ScopedHandle folder(::CreateFileA(path, READ_CONTROL | FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!folder || !::GetFileInformationByHandle(folder.Get(), &info))
        return false;
    facts->reparsePoint = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(folder.Get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                          nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    ScopedLocalMemory held(descriptor);
    facts->owner = SidText(owner);
    facts->nullDacl = dacl == nullptr;
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!::GetAce(dacl, i, reinterpret_cast<void**>(&header)))
            return false;
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_DENIED_ACE_TYPE)
            continue;
        auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        facts->aces.push_back({SidText(&ace->SidStart), ace->Mask, header->AceType == ACCESS_ALLOWED_ACE_TYPE,
                               (header->AceFlags & INHERIT_ONLY_ACE) != 0});
    }
    return true;
}

// Where the folders below the drive or share begin: after "X:\" or "\\server\share\".
int FirstFolderStart(const std::string& path) {
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\')
        return 3;
    if (path.rfind("\\\\", 0) == 0) {
        size_t server = path.find('\\', 2);
        size_t share = server == std::string::npos ? server : path.find('\\', server + 1);
        return share == std::string::npos ? -1 : static_cast<int>(share + 1);
    }
    return -1;
}
}  // namespace

UntrustedFolder FindUntrustedFolderOnTheWay(const CString& folder) {
    std::string path = folder.str();
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    int start = FirstFolderStart(path);
    if (start < 0)
        return {folder, FolderTrust::OthersMayChange};
    // FAT and exFAT drives, and some shares, would silently drop the protection.
    DWORD flags = 0;
    std::vector<char> volume(path.size() + 2);
    if (!::GetVolumePathNameA(path.c_str(), volume.data(), static_cast<DWORD>(volume.size())) ||
        !::GetVolumeInformationA(volume.data(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) ||
        !(flags & FILE_PERSISTENT_ACLS))
        return {folder, FolderTrust::KeepsNoPermissions};
    std::string user = CurrentUserSid();
    for (size_t end = path.find('\\', start); end != std::string::npos; end = path.find('\\', end + 1)) {
        CString step(path.substr(0, end));
        DWORD attributes = ::GetFileAttributesA(step);
        if (attributes == INVALID_FILE_ATTRIBUTES)
            break;  // from here on setup makes the folders, protected
        FolderFacts facts;
        FolderTrust why = ReadFolderFacts(step, &facts) ? JudgeFolder(facts, user) : FolderTrust::OthersMayChange;
        if (why != FolderTrust::Trusted)
            return {step, why};
    }
    return {};
}

bool PassesThroughLink(const CString& path) {
    std::string text = path.str();
    int start = FirstFolderStart(text);
    if (start < 0)
        return true;
    for (size_t end = static_cast<size_t>(start);; ++end) {
        end = text.find('\\', end);
        DWORD attributes = ::GetFileAttributesA(CString(text.substr(0, end)));
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return false;
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return true;
        if (end == std::string::npos || end + 1 >= text.size())
            return false;
    }
}

bool OwnerIsTrusted(const CString& file) {
    ScopedHandle handle(::CreateFileA(file, READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr));
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!handle || ::GetSecurityInfo(handle.Get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                                     nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    ScopedLocalMemory held(descriptor);
    return IsTrustedOwner(SidText(owner), CurrentUserSid());
}

const char* FolderTrustReason(FolderTrust why) {
    switch (why) {
        case FolderTrust::Link:
            return "it is a link to another place";
        case FolderTrust::ForeignOwner:
            return "a user who is not an administrator owns it";
        case FolderTrust::OthersMayChange:
            return "users who are not administrators may change it";
        case FolderTrust::KeepsNoPermissions:
            return "its drive keeps no permissions";
        case FolderTrust::Trusted:
            break;
    }
    return "";
}
