// The protection of a folder outside Program Files, read back from the system.
#include <gtest/gtest.h>
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <map>
#include <string>

#include "common/folder_protection.h"
#include "framework/scoped_handles.h"
#include "test_fs.h"

namespace {
// What the folder's list allows, by SID text.
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

// Replaces the folder's list with one that lets everyone change it, as a drive root passes on.
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

const ACCESS_MASK kChange = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER | DELETE;
const ACCESS_MASK kReadAndRun = FILE_READ_DATA | FILE_EXECUTE;
}  // namespace

// Wine keeps only what file modes say (owner, SYSTEM, everyone) and maps no
// group to them, so what is read back is that nobody beyond the owner and
// SYSTEM may change the folder any more, and everyone may still read and run it.
TEST(FolderProtection, AFolderEveryoneCouldChangeIsClosedToAllButAdministratorsAndSystem) {
    ScratchDir scratch("acl");
    std::string folder = scratch / "Pagewright";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(OpenToEveryone(folder));
    ASSERT_TRUE(AllowedRights(folder)["S-1-1-0"] & FILE_WRITE_DATA) << "the folder starts open to everyone";

    EXPECT_TRUE(ProtectLikeProgramFiles(folder.c_str()));

    std::map<std::string, ACCESS_MASK> rights = AllowedRights(folder);
    EXPECT_EQ(rights["S-1-5-18"], static_cast<ACCESS_MASK>(FILE_ALL_ACCESS));
    ACCESS_MASK others = 0;
    for (const char* everybody : {"S-1-1-0", "S-1-5-11", "S-1-5-32-545"}) {
        EXPECT_EQ(rights[everybody] & kChange, 0u) << everybody;
        others |= rights[everybody];
    }
    EXPECT_EQ(others & kReadAndRun, kReadAndRun) << "everyone still reads and runs the editor";
}
