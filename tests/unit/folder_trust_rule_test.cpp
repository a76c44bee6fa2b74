// Which existing folders an all-users installation may go into or through.
#include <gtest/gtest.h>

#include "common/folder_trust_rule.h"

namespace {
const char kAdmins[] = "S-1-5-32-544";
const char kSystem[] = "S-1-5-18";
const char kInstaller[] = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
const char kRunningAdmin[] = "S-1-5-21-1-2-3-500";
const char kSomeUser[] = "S-1-5-21-1-2-3-1001";
const char kAuthenticated[] = "S-1-5-11";
const char kUsers[] = "S-1-5-32-545";
constexpr uint32_t kFull = 0x1f01ff, kModify = 0x1301bf, kReadRun = 0x1200a9, kAddFolder = 0x4;
}  // namespace

TEST(FolderTrustRule, OnlyAdministratorsSystemAndTheInstallerOwnOrChangeATrustedFolder) {
    // As Program Files is: the installer owns it, administrators and SYSTEM
    // change it, users read it, the creator's rights only pass on.
    FolderFacts programFiles{false,
                             kInstaller,
                             false,
                             {{kInstaller, kFull},
                              {kSystem, kModify},
                              {kAdmins, kModify},
                              {kUsers, kReadRun},
                              {"S-1-3-0", 0x10000000, true, true}}};
    struct Case {
        const char* label;
        FolderFacts facts;
        FolderTrust expected;
    } cases[] = {
        {"like Program Files", programFiles, FolderTrust::Trusted},
        {"owned by the running administrator",
         {false, kRunningAdmin, false, {{kRunningAdmin, kFull}}},
         FolderTrust::Trusted},
        {"owned by another user", {false, kSomeUser, false, {{kAdmins, kFull}}}, FolderTrust::ForeignOwner},
        {"a junction", {true, kAdmins, false, {}}, FolderTrust::Link},
        {"no list at all", {false, kAdmins, true, {}}, FolderTrust::OthersMayChange},
        {"users may modify, as a drive root passes on",
         {false, kAdmins, false, {{kAdmins, kFull}, {kAuthenticated, kModify}}},
         FolderTrust::OthersMayChange},
        {"users may add folders", {false, kAdmins, false, {{kUsers, kAddFolder}}}, FolderTrust::OthersMayChange},
        {"users may modify only what is made inside",
         {false, kAdmins, false, {{kAuthenticated, kModify, true, true}}},
         FolderTrust::Trusted},
        {"a denied right is no right", {false, kAdmins, false, {{kUsers, kFull, false}}}, FolderTrust::Trusted},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JudgeFolder(c.facts, kRunningAdmin), c.expected) << c.label;
}
