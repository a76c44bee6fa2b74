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
