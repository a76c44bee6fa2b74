// Wine keeps no access lists on files, so the protection is read back from the
// descriptor the system builds from it; applying it must still succeed.
#include <gtest/gtest.h>
#include <windows.h>

#include <sddl.h>

#include "common/folder_protection.h"
#include "test_fs.h"

TEST(FolderProtection, AllUsersFolderGetsProgramFilesRightsAndCutsInheritance) {
    ScratchDir scratch("acl");
    std::string folder = scratch / "Pagewright";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    EXPECT_TRUE(ProtectLikeProgramFiles(folder.c_str()));

    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorA(kProgramFilesLikeSddl, SDDL_REVISION_1,
                                                                       &descriptor, nullptr));
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ::GetSecurityDescriptorControl(descriptor, &control, &revision);
    EXPECT_TRUE(control & SE_DACL_PROTECTED);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
    ASSERT_EQ(dacl->AceCount, 3);
    const DWORD kWrite = FILE_WRITE_DATA | FILE_APPEND_DATA | WRITE_DAC | WRITE_OWNER | DELETE;
    struct {
        WELL_KNOWN_SID_TYPE sid;
        bool writes;
    } expected[] = {{WinBuiltinAdministratorsSid, true}, {WinLocalSystemSid, true}, {WinBuiltinUsersSid, false}};
    for (DWORD i = 0; i < 3; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(::GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_EQ(ace->Header.AceFlags & (CONTAINER_INHERIT_ACE | OBJECT_INHERIT_ACE),
                  CONTAINER_INHERIT_ACE | OBJECT_INHERIT_ACE);
        EXPECT_TRUE(::IsWellKnownSid(&ace->SidStart, expected[i].sid)) << i;
        EXPECT_EQ((ace->Mask & kWrite) == kWrite, expected[i].writes) << i;
        EXPECT_TRUE(ace->Mask & FILE_EXECUTE) << i;
    }
    ::LocalFree(descriptor);
}
