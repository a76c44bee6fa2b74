// The administrator check: the real answer on Wine, and the branches Wine
// cannot produce through injected group listings.
#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which it relies on.
#include <lm.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/admin_check.h"
#include "common/system_seam.h"
#include "framework/function_cast.h"
#include "setup/debug_log.h"
#include "test_app.h"

namespace {
// What the injected listings answer.
struct FakeGroups {
    NET_API_STATUS membersStatus = NERR_Success;
    std::vector<std::wstring> members;
    std::vector<std::wstring> userGroups;
    int freed = 0;
    int allocated = 0;
    bool missingGroupFunction = false;
    std::wstring localAdminsName;  // the group's name on a Windows in another language; empty: the real look-up
} g_fake;

template <typename Info, typename Field>
LPBYTE MakeBuffer(const std::vector<std::wstring>& names, Field field) {
    if (names.empty())
        return nullptr;
    auto* entries = static_cast<Info*>(::calloc(names.size(), sizeof(Info)));
    for (size_t i = 0; i < names.size(); ++i)
        entries[i].*field = const_cast<LPWSTR>(names[i].c_str());
    ++g_fake.allocated;
    return reinterpret_cast<LPBYTE>(entries);
}

NET_API_STATUS WINAPI
FakeGetMembers(LPCWSTR, LPCWSTR, DWORD, LPBYTE* buffer, DWORD, LPDWORD read, LPDWORD total, PDWORD_PTR) {
    *buffer = nullptr;
    if (g_fake.membersStatus != NERR_Success)
        return g_fake.membersStatus;
    *buffer = MakeBuffer<LOCALGROUP_MEMBERS_INFO_1>(g_fake.members, &LOCALGROUP_MEMBERS_INFO_1::lgrmi1_name);
    *read = *total = static_cast<DWORD>(g_fake.members.size());
    return NERR_Success;
}

NET_API_STATUS WINAPI
FakeUserGroups(LPCWSTR, LPCWSTR, DWORD, DWORD, LPBYTE* buffer, DWORD, LPDWORD read, LPDWORD total) {
    *buffer = MakeBuffer<LOCALGROUP_USERS_INFO_0>(g_fake.userGroups, &LOCALGROUP_USERS_INFO_0::lgrui0_name);
    *read = *total = static_cast<DWORD>(g_fake.userGroups.size());
    return NERR_Success;
}

NET_API_STATUS WINAPI FakeFree(LPVOID buffer) {
    ++g_fake.freed;
    ::free(buffer);
    return NERR_Success;
}

FARPROC (*g_realBind)(const char*, const char*) = nullptr;

BOOL WINAPI FakeLookupAccountSid(LPCWSTR,
                                 PSID,
                                 LPWSTR name,
                                 LPDWORD nameSize,
                                 LPWSTR domain,
                                 LPDWORD domainSize,
                                 PSID_NAME_USE use) {
    wcscpy(name, g_fake.localAdminsName.c_str());
    *nameSize = static_cast<DWORD>(g_fake.localAdminsName.size());
    wcscpy(domain, L"VORDEFINIERT");
    *domainSize = 12;
    *use = SidTypeAlias;
    return TRUE;
}

FARPROC FakeBind(const char* library, const char* function) {
    std::string name = function;
    if (name == "LookupAccountSidW" && !g_fake.localAdminsName.empty())
        return AsFarproc(&FakeLookupAccountSid);
    if (name == "NetUserGetLocalGroups")
        return g_fake.missingGroupFunction ? nullptr : AsFarproc(&FakeUserGroups);
    if (name == "NetLocalGroupGetMembers")
        return AsFarproc(&FakeGetMembers);
    if (name == "NetApiBufferFree")
        return AsFarproc(&FakeFree);
    return g_realBind(library, function);
}

class AdminCheck : public ::testing::Test {
protected:
    TestSetupApp app;
    SystemSeamGuard seam;
    void SetUp() override {
        g_fake = FakeGroups{};
        g_realBind = g_system.bindSystemFunction;
        g_strDebugLog.Empty();
    }
    void Inject() { g_system.bindSystemFunction = FakeBind; }
};
}  // namespace

// Wine lists its one user in every local group, so the answer itself says
// nothing here; what the trace shows is that every function was found in the
// real libraries and that the group asked for is the one of the administrators' SID.
TEST_F(AdminCheck, TheRealLibrariesAreBoundAndAskedForTheAdministratorsGroup) {
    CString user;
    ASSERT_TRUE(GetCurrentUserName(user));
    IsAdmin(user);
    std::string log = g_strDebugLog.str();
    EXPECT_EQ(log.rfind("start IsAdmin (" + user.str() + ")\r\n", 0), 0u) << log;
    EXPECT_NE(log.find("NetLocalGroupGetMembers(NULL, Administrators, 1, 0x"), std::string::npos) << log;
}

TEST_F(AdminCheck, MissingGroupFunctionMeansAdministratorWithoutTrace) {
    g_fake.missingGroupFunction = true;
    Inject();
    EXPECT_TRUE(IsAdmin("anyone"));
    EXPECT_EQ(g_strDebugLog.str(), "");
}

TEST_F(AdminCheck, DirectMemberFoundInAnyLetterCase) {
    g_fake.members = {L"Guest", L"ALICE"};
    Inject();
    EXPECT_TRUE(IsAdmin("alice"));
    EXPECT_EQ(g_fake.freed, 1);
    EXPECT_EQ(g_strDebugLog.str().find("NetUserGetLocalGroups(NULL"), std::string::npos)
        << "the second test is not needed";
}

TEST_F(AdminCheck, MembershipThroughAGroupCountsForTheGroupOfTheAdministratorsSid) {
    struct Case {
        std::wstring localName;  // what the SID look-up gives
        std::wstring group;
        BOOL admin;
    } cases[] = {{L"", L"Administrators", TRUE},
                 {L"", L"ADMINISTRATORS", TRUE},
                 {L"", L"Users", FALSE},
                 {L"Administratoren", L"administratoren", TRUE},
                 {L"Administratoren", L"Administrators", FALSE}};
    for (const Case& c : cases) {
        g_fake = FakeGroups{};
        g_fake.localAdminsName = c.localName;
        g_fake.members = {L"bob"};
        g_fake.userGroups = {L"Users", c.group};
        Inject();
        g_strDebugLog.Empty();
        EXPECT_EQ(IsAdmin("carol"), c.admin);
        EXPECT_EQ(g_fake.freed, g_fake.allocated) << "every listing buffer is freed";
        std::string log = g_strDebugLog.str();
        // The group-listing result line has no line end: the exit line continues it.
        EXPECT_NE(log.find("NetUserGetLocalGroups's return value: dwCount = 2, dwTotal = 2exit IsAdmin()\r\n"),
                  std::string::npos)
            << log;
    }
}

TEST_F(AdminCheck, FailedMemberListingMeansNotAnAdministrator) {
    g_fake.membersStatus = ERROR_ACCESS_DENIED;
    g_fake.userGroups = {L"Administrators"};
    Inject();
    EXPECT_FALSE(IsAdmin("dave"));
    EXPECT_EQ(g_strDebugLog.str().find("NetUserGetLocalGroups"), std::string::npos);
}

TEST_F(AdminCheck, EmptyMemberListGoesStraightToTheGroupTest) {
    g_fake.userGroups = {L"administrators"};
    Inject();
    EXPECT_TRUE(IsAdmin("erin"));
    EXPECT_EQ(g_fake.freed, 1) << "only the group list was allocated";
}
