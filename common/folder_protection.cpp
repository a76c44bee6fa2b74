#include "folder_protection.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include "framework/scoped_handles.h"

bool ProtectLikeProgramFiles(const CString& folder) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(kProgramFilesLikeSddl, SDDL_REVISION_1, &descriptor,
                                                                nullptr))
        return false;
    ScopedLocalMemory owned(descriptor);
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (!::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present)
        return false;
    std::string path = folder.str();
    return ::SetNamedSecurityInfoA(path.data(), SE_FILE_OBJECT,
                                   DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                   dacl, nullptr) == ERROR_SUCCESS;
}

bool InheritFolderProtection(const CString& file) {
    ACL empty;
    if (!::InitializeAcl(&empty, sizeof empty, ACL_REVISION))
        return false;
    std::string path = file.str();
    return ::SetNamedSecurityInfoA(path.data(), SE_FILE_OBJECT,
                                   DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                   &empty, nullptr) == ERROR_SUCCESS;
}
