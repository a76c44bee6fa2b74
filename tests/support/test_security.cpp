#include "test_security.h"

#include <aclapi.h>
#include <sddl.h>

#include "framework/scoped_handles.h"

std::map<std::string, ACCESS_MASK> AllowedRights(const std::string& folder) {
    std::map<std::string, ACCESS_MASK> rights;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR held = nullptr;
    if (::GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                nullptr, &held) != ERROR_SUCCESS)
        return rights;
    ScopedLocalMemory owned(held);
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        LPSTR sid = nullptr;
        if (!::GetAce(dacl, i, reinterpret_cast<void**>(&ace)) || ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE ||
            !::ConvertSidToStringSidA(&ace->SidStart, &sid))
            continue;
        rights[sid] |= ace->Mask;
        ::LocalFree(sid);
    }
    return rights;
}

bool OpenToEveryone(const std::string& folder) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;OICI;FA;;;WD)", SDDL_REVISION_1, &descriptor,
                                                                nullptr))
        return false;
    ScopedLocalMemory owned(descriptor);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    std::string path = folder;
    return ::SetNamedSecurityInfoA(path.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl,
                                   nullptr) == ERROR_SUCCESS;
}
