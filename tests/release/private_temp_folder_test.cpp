// The private temporary folder: always new, closed to everyone but its owners,
// and gone with its content when done.
#include "common/private_temp_folder.h"
#include "common/system_seam.h"

#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include <set>
#include <string>

#include "test_fs.h"
#include "unix_link.h"

namespace {

std::string SidText(PSID sid) {
    LPSTR text = nullptr;
    if (!::ConvertSidToStringSidA(sid, &text))
        return {};
    std::string out = text;
    ::LocalFree(text);
    return out;
}

std::string CurrentUserSidText() {
    HANDLE token = nullptr;
    ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token);
    BYTE buffer[512];
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size);
    ::CloseHandle(token);
    return SidText(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid);
}
}  // namespace

// The SIDs the list allows anything to, each checked for full control.
std::set<std::string> AllowedSids(PACL dacl, bool fullControlOnly) {
    std::set<std::string> sids;
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        if (!::GetAce(dacl, i, reinterpret_cast<void**>(&ace)) || ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE)
            continue;
        if (fullControlOnly) {
            EXPECT_EQ(static_cast<DWORD>(FILE_ALL_ACCESS), ace->Mask);
        }
        sids.insert(SidText(&ace->SidStart));
    }
    return sids;
}

TEST(PrivateTempFolder, EachFolderIsNewAndOpenOnlyToTheUserAdministratorsAndSystem) {
    PrivateTempFolder first, second;
    ASSERT_TRUE(first.Create(L"brellic-test-"));
    ASSERT_TRUE(second.Create(L"brellic-test-"));
    EXPECT_NE(first.Path(), second.Path());
    ASSERT_TRUE(DirExists(Narrow(first.Path())));

    // What the folder is made with, exactly, for a run that is not elevated
    // (Wine reports every process elevated).
    g_system.processElevated = [] { return false; };
    ScopedLocalMemory given = OwnerOnlySecurityDescriptor();
    g_system.processElevated = nullptr;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(::GetSecurityDescriptorControl(given.Get(), &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(::GetSecurityDescriptorDacl(given.Get(), &present, &dacl, &defaulted));
    ASSERT_EQ(3, dacl->AceCount);
    EXPECT_EQ((std::set<std::string>{CurrentUserSidText(), "S-1-5-32-544", "S-1-5-18"}), AllowedSids(dacl, true));

    // What the system holds for it (Wine keeps only what file modes can say): nobody else.
    PSECURITY_DESCRIPTOR held = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::GetNamedSecurityInfoW(first.Path().c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                                     nullptr, nullptr, &dacl, nullptr, &held));
    std::set<std::string> allowed = AllowedSids(dacl, false);
    ::LocalFree(held);
    EXPECT_TRUE(allowed.count(CurrentUserSidText()));
    for (const char* other : {"S-1-1-0", "S-1-5-11", "S-1-5-32-545"})
        EXPECT_FALSE(allowed.count(other)) << other;

    // An elevated run's folder leaves out the user's everyday processes.
    g_system.processElevated = [] { return true; };
    ScopedLocalMemory elevated = OwnerOnlySecurityDescriptor();
    g_system.processElevated = nullptr;
    ASSERT_TRUE(::GetSecurityDescriptorDacl(elevated.Get(), &present, &dacl, &defaulted));
    EXPECT_EQ((std::set<std::string>{"S-1-5-32-544", "S-1-5-18"}), AllowedSids(dacl, true));
}

TEST(PrivateTempFolder, ANameAlreadyTakenIsNeverReused) {
    ScratchDir scratch("ptf");
    std::string existing = scratch / "existing";
    ::CreateDirectoryA(existing.c_str(), nullptr);
    WriteFileText(existing + "\\planted.txt", "x");
    PrivateTempFolder folder;
    EXPECT_FALSE(folder.CreateAt(Wide(existing)));
    EXPECT_FALSE(folder.IsValid());
    EXPECT_TRUE(FileExists(existing + "\\planted.txt"));

    std::string link = scratch / "link";
    if (!MakeFolderLink(link, existing))
        GTEST_SKIP() << "no folder link on this system";
    EXPECT_FALSE(folder.CreateAt(Wide(link)));
    EXPECT_TRUE(IsFolderLink(link));
    EXPECT_TRUE(FileExists(existing + "\\planted.txt"));
    RemoveFolderLink(link);
}

TEST(PrivateTempFolder, RemovedWithItsContent) {
    std::string path;
    {
        PrivateTempFolder folder;
        ASSERT_TRUE(folder.Create(L"brellic-test-"));
        path = Narrow(folder.Path());
        WriteFileText(path + "\\setup.exe", "x");
        ::CreateDirectoryA((path + "\\sub").c_str(), nullptr);
        WriteFileText(path + "\\sub\\log.txt", "x");
        ::SetFileAttributesA((path + "\\setup.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    }
    EXPECT_FALSE(DirExists(path));
}
