#include "folder_protection.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "framework/scoped_handles.h"

bool CreateProtectedFolder(const CString& folder) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(kProgramFilesLikeSddl, SDDL_REVISION_1, &descriptor,
                                                                nullptr))
        return false;
    ScopedLocalMemory owned(descriptor);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    return ::CreateDirectoryA(folder, &attributes) != FALSE;
}

bool AdoptAsMadeHere(const CString& file) {
    ScopedHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Receive()))
        return false;
    DWORD size = 0;
    ::GetTokenInformation(token.Get(), TokenOwner, nullptr, 0, &size);
    if (size == 0)
        return false;
    std::vector<BYTE> owner(size);
    if (!::GetTokenInformation(token.Get(), TokenOwner, owner.data(), size, &size))
        return false;
    // An empty list that is not protected: the system fills in what the folder passes on.
    ACL empty;
    if (!::InitializeAcl(&empty, sizeof empty, ACL_REVISION))
        return false;
    std::string path = file.str();
    return ::SetNamedSecurityInfoA(
               path.data(), SE_FILE_OBJECT,
               OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION,
               reinterpret_cast<TOKEN_OWNER*>(owner.data())->Owner, nullptr, &empty, nullptr) == ERROR_SUCCESS;
}
