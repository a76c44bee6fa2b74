// Registry access against Wine's real registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/registry.h"
#include "framework/scoped_handles.h"
#include "setup/debug_log.h"
#include "test_app.h"
#include "test_registry.h"

namespace {
const char kSub[] = "Software\\BrellicTests\\Values";

class RegistryAccess : public ::testing::Test {
protected:
    TestSetupApp app;
    ProductKeysGuard keys;
    void SetUp() override { g_strDebugLog.Empty(); }
    void PutRaw(const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_TRUE(RegWriteRaw(HKEY_CURRENT_USER, kSub, name, type, data, size));
    }
    CString Get(const char* name) { return RegGetString(HKEY_CURRENT_USER, kSub, name, "dflt"); }
};
}  // namespace

TEST_F(RegistryAccess, TextAndNumbersReadAsText) {
    PutRaw("sz", REG_SZ, "hello", 6);
    DWORD five = 5, all = 0xFFFFFFFF;
    PutRaw("five", REG_DWORD, &five, 4);
    PutRaw("minus", REG_DWORD, &all, 4);
    PutRaw("expand", REG_EXPAND_SZ, "%WINDIR%\\x", 11);
    EXPECT_EQ(Get("sz"), "hello");
    EXPECT_EQ(Get("five"), "5");
    EXPECT_EQ(Get("minus"), "-1");
    EXPECT_EQ(Get("expand"), "%WINDIR%\\x") << "expandable text is not expanded";
}

TEST_F(RegistryAccess, EmptyMissingAndOtherTypesGiveTheDefault) {
    PutRaw("empty", REG_SZ, "", 1);
    const unsigned char bytes[] = {1, 2, 3};
    PutRaw("binary", REG_BINARY, bytes, 3);
    PutRaw("multi", REG_MULTI_SZ, "a\0b\0\0", 5);
    PutRaw("qword", REG_QWORD, "\1\0\0\0\0\0\0\0", 8);
    EXPECT_EQ(Get("empty"), "dflt");
    EXPECT_EQ(Get("binary"), "dflt");
    EXPECT_EQ(Get("multi"), "dflt");
    EXPECT_EQ(Get("qword"), "dflt");
    EXPECT_EQ(Get("absent"), "dflt");
    EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, kSub, "absent", nullptr), "");
}

TEST_F(RegistryAccess, ReadingAnAbsentKeyLeavesItBehindEmpty) {
    const char key[] = "Software\\BrellicTests\\NotYet";
    ASSERT_FALSE(RegKeyExists(HKEY_CURRENT_USER, key));
    EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, key, "SetupPath", ""), "");
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, key));
}

TEST_F(RegistryAccess, OddlyShapedValuesAreReadSafely) {
    // A REG_SZ stored without its terminating NUL.
    PutRaw("unterminated", REG_SZ, "abcdef", 6);
    EXPECT_EQ(Get("unterminated"), "abcdef");
    // Text with an embedded NUL stops there.
    PutRaw("embedded", REG_SZ, "ab\0cd", 6);
    EXPECT_EQ(Get("embedded"), "ab");
    // A REG_DWORD shorter than four bytes is not a number.
    PutRaw("short", REG_DWORD, "\1\2", 2);
    EXPECT_EQ(Get("short"), "dflt");
    // Several megabytes are read whole.
    std::string big(3 * 1024 * 1024, 'm');
    PutRaw("big", REG_SZ, big.c_str(), static_cast<DWORD>(big.size() + 1));
    EXPECT_EQ(Get("big").GetLength(), static_cast<int>(big.size()));
    // A folder longer than any path buffer, and bytes outside ASCII.
    std::string longPath = "C:\\" + std::string(400, 'p') + "\\";
    PutRaw("long", REG_SZ, longPath.c_str(), static_cast<DWORD>(longPath.size() + 1));
    EXPECT_EQ(Get("long"), longPath.c_str());
    const char accented[] = "C:\\Caf\xe9\\\xc4pfel\\";
    PutRaw("accented", REG_SZ, accented, sizeof accented);
    EXPECT_EQ(Get("accented"), accented);
}

TEST_F(RegistryAccess, WritesStoreTextWithItsNulAndNumbersAsTheCLibraryReadsThem) {
    RegSetString(HKEY_CURRENT_USER, kSub, "text", "C:\\Dir\\", REG_SZ);
    RegSetString(HKEY_CURRENT_USER, kSub, "empty", "", REG_SZ);
    RegSetString(HKEY_CURRENT_USER, kSub, "mixed", "12abc", REG_DWORD);
    RegSetString(HKEY_CURRENT_USER, kSub, "letters", "abc", REG_DWORD);
    RegSetString(HKEY_CURRENT_USER, kSub, "big", "-1", REG_DWORD_BIG_ENDIAN);
    struct Expect {
        const char* name;
        DWORD type;
        std::vector<unsigned char> bytes;
    } expected[] = {
        {"text", REG_SZ, {'C', ':', '\\', 'D', 'i', 'r', '\\', 0}},
        {"empty", REG_SZ, {0}},
        {"mixed", REG_DWORD, {12, 0, 0, 0}},
        {"letters", REG_DWORD, {0, 0, 0, 0}},
        {"big", REG_DWORD_BIG_ENDIAN, {0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const Expect& e : expected) {
        DWORD type = 0;
        std::vector<unsigned char> data;
        ASSERT_TRUE(RegReadRaw(HKEY_CURRENT_USER, kSub, e.name, &type, &data)) << e.name;
        EXPECT_EQ(type, e.type) << e.name;
        EXPECT_EQ(data, e.bytes) << e.name;
    }
}

TEST_F(RegistryAccess, EmptySubKeyUsesTheRootItself) {
    HKEY key;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kSub, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetString(key, "", "direct", "yes", REG_SZ);
    RegSetString(key, nullptr, "direct2", "7", REG_DWORD);
    EXPECT_EQ(RegGetString(key, nullptr, "direct", "no"), "yes");
    EXPECT_EQ(RegGetString(key, "", "direct2", "no"), "7");
    // The handle given as root is not closed by the operations.
    DWORD values = 0;
    EXPECT_EQ(::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                                 nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(values, 2u);
    ::RegCloseKey(key);
}

TEST_F(RegistryAccess, TraceLinesNameTheRootAndTheCalls) {
    PutRaw("n", REG_DWORD, "\5\0\0\0", 4);
    RegGetString(HKEY_CURRENT_USER, kSub, "n", "d");
    std::string log = g_strDebugLog.str();
    EXPECT_EQ(log,
              "start RegGetString(HKEY_CURRENT_USER, Software\\BrellicTests\\Values, n, d)\r\n"
              "RegQueryValueEx's reutrn value: dwType = 4, dwSize = 4\r\n"
              "exit RegGetString()\r\n");
    g_strDebugLog.Empty();
    RegGetString(HKEY_CLASSES_ROOT, "BrellicTestsNoSuchKey\\x", "v", "d");
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "BrellicTestsNoSuchKey\\x");
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "BrellicTestsNoSuchKey");
    EXPECT_EQ(
        g_strDebugLog.str().rfind("start RegGetString(HKEY_LOCAL_MACHINE, BrellicTestsNoSuchKey\\x, v, d)\r\n", 0), 0u)
        << "any root other than the user's is traced as the machine root";

    g_strDebugLog.Empty();
    RegSetString(HKEY_CURRENT_USER, kSub, "s", "val", REG_SZ);
    RegSetString(HKEY_CURRENT_USER, kSub, "d", "12abc", REG_DWORD);
    log = g_strDebugLog.str();
    EXPECT_NE(log.find("start RegSetString(HKEY_CURRENT_USER, Software\\BrellicTests\\Values, s, val, 1)\r\n"
                       "RegSetValueEx("),
              std::string::npos);
    EXPECT_NE(log.find(", s, 0, 1, val, 4)\r\nexit RegSetString;\r\n"), std::string::npos);
    EXPECT_NE(log.find(", d, 0, 4, 12, 4)\r\nexit RegSetString;\r\n"), std::string::npos);
}

TEST_F(RegistryAccess, FailedOpenWritesTheEarlyExitLineAndStoresNothing) {
    // A key that cannot be created: below a volatile-less root with an invalid handle.
    RegSetString(reinterpret_cast<HKEY>(static_cast<intptr_t>(0x1234)), "x", "v", "t", REG_SZ);
    EXPECT_EQ(g_strDebugLog.str(), "start RegSetString(HKEY_LOCAL_MACHINE, x, v, t, 1)\r\nexit RegSetString()\r\n");
    g_strDebugLog.Empty();
    EXPECT_EQ(RegGetString(reinterpret_cast<HKEY>(static_cast<intptr_t>(0x1234)), "x", "v", "d"), "d");
    EXPECT_EQ(g_strDebugLog.str(), "start RegGetString(HKEY_LOCAL_MACHINE, x, v, d)\r\nexit RegGetString()\r\n");
}

// Closing a predefined root does nothing on Wine, so only the owner's refusal to hold one can be seen here.
TEST(ScopedRegKeyOwner, PredefinedRootsAreNeverHeld) {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT}) {
        ScopedRegKey held(root);
        EXPECT_FALSE(held.IsValid());
    }
    HKEY sub = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &sub), ERROR_SUCCESS);
    ScopedRegKey opened(sub);
    EXPECT_TRUE(opened.IsValid()) << "an opened key is held, and closed with its owner";
}
