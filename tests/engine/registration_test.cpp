// The product key and the uninstall entry, read back raw and through Wine's reg.exe.
#include <cstdio>

#include "common/product_catalogue.h"
#include "engine_fixture.h"
#include "test_registry.h"
#include "ui_driver.h"

namespace {
class Registration : public EngineTest {
protected:
    ProductKeysGuard keys;
    std::string dest = scratch / "Page wright\\";

    void SetUp() override {
        ::CreateDirectoryA(dest.c_str(), nullptr);
        ASSERT_TRUE(CopyOneFile(std::string(TEST_MEDIA_DIR) + "\\Scrivo.ex_", dest + "Scrivo.exe"));
        ASSERT_TRUE(CopyOneFile(std::string(TEST_MEDIA_DIR) + "\\readme.txt", dest + "readme.txt"));
        // The uninstaller is listed but was not installed: it adds nothing to the size.
        Prepare(TEST_MEDIA_DIR, dest, {"Scrivo.ex_", "readme.txt", "uninstall.ex_"});
    }
    void ExpectValue(HKEY root, const char* key, const char* name, DWORD type, const std::string& text) {
        DWORD actualType = 0;
        std::vector<unsigned char> data;
        ASSERT_TRUE(RegReadRaw(root, key, name, &actualType, &data)) << name;
        EXPECT_EQ(actualType, type) << name;
        if (type == REG_DWORD) {
            ASSERT_EQ(data.size(), 4u) << name;
            DWORD value = 0;
            memcpy(&value, data.data(), 4);
            EXPECT_EQ(std::to_string(value), text) << name;
        } else {
            EXPECT_EQ(std::string(data.begin(), data.end()), text + '\0') << name;
        }
    }
    // Output of Wine's own "reg query" for a key.
    std::string RegQuery(const char* key) {
        std::string out = scratch / "query.txt";
        ChildProcess reg("C:\\windows\\system32\\cmd.exe",
                         "/c C:\\windows\\system32\\reg.exe query \"" + std::string(key) + "\" > \"" + out + "\"");
        EXPECT_EQ(reg.WaitExit(), 0);
        return ReadFileText(out);
    }
};
}  // namespace

TEST_F(Registration, EveryValueWithItsType) {
    app.m_hRootKey = HKEY_LOCAL_MACHINE;
    engine.WriteReg();
    std::string uninstaller = dest + "uninstall.exe";
    ExpectValue(HKEY_LOCAL_MACHINE, kProductKey, "SetupPath", REG_SZ, dest);
    ExpectValue(HKEY_LOCAL_MACHINE, kProductKey, "version", REG_SZ, kMediaEditorVersion);
    ExpectValue(HKEY_LOCAL_MACHINE, kProductKey, "nCopyedFile", REG_DWORD, "3");
    ExpectValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", REG_SZ, "\"" + uninstaller + "\"");
    ExpectValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", REG_SZ, "Brellic Pagewright");
    ExpectValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon", REG_SZ, uninstaller);
    ExpectValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallPath", REG_SZ, uninstaller);
    ExpectValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion", REG_SZ, kMediaEditorVersion);
    ExpectValue(HKEY_LOCAL_MACHINE, kUninstallKey, "Publisher", REG_SZ, "Brellic Software");
    ExpectValue(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation", REG_SZ, dest);
    DWORD bytes =
        static_cast<DWORD>(ReadFileText(dest + "Scrivo.exe").size() + ReadFileText(dest + "readme.txt").size());
    ExpectValue(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize", REG_DWORD, std::to_string((bytes + 1023) / 1024));
    ExpectValue(HKEY_LOCAL_MACHINE, kUninstallKey, "NoModify", REG_DWORD, "1");
    ExpectValue(HKEY_LOCAL_MACHINE, kUninstallKey, "NoRepair", REG_DWORD, "1");
    // What inventory tools read, outside the trace.
    SYSTEMTIME today;
    ::GetLocalTime(&today);
    char date[16];
    std::snprintf(date, sizeof date, "%04u%02u%02u", today.wYear, today.wMonth, today.wDay);
    ExpectValue(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallDate", REG_SZ, date);
    ExpectValue(HKEY_LOCAL_MACHINE, kUninstallKey, "URLInfoAbout", REG_SZ,
                "https://www.brellic-software.example/pagewright");
    ExpectValue(HKEY_LOCAL_MACHINE, kUninstallKey, "HelpLink", REG_SZ,
                "https://www.brellic-software.example/pagewright/help");
    ExpectValue(HKEY_LOCAL_MACHINE, kUninstallKey, "VersionMajor", REG_DWORD, "2");
    ExpectValue(HKEY_LOCAL_MACHINE, kUninstallKey, "VersionMinor", REG_DWORD, "1");

    std::string log = Log();
    EXPECT_EQ(log.find("InstallDate"), std::string::npos);
    size_t start = log.find(
        "start WriteReg()\r\nstart RegSetString(HKEY_LOCAL_MACHINE, Software\\Brellic Software"
        "\\Pagewright, SetupPath, " +
        dest + ", 1)\r\n");
    size_t entry = log.find("add to add/del program\r\nstart RegSetString(HKEY_LOCAL_MACHINE, " +
                            std::string(kUninstallKey) + ", UninstallString, \"" + uninstaller + "\", 1)\r\n");
    EXPECT_EQ(start, 0u);
    EXPECT_NE(entry, std::string::npos);
    EXPECT_EQ(log.substr(log.size() - 17), "exit WriteReg()\r\n");

    std::string shown = RegQuery("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brellic Pagewright");
    EXPECT_NE(shown.find("UninstallString    REG_SZ    \"" + uninstaller + "\""), std::string::npos) << shown;
    EXPECT_NE(shown.find("NoRepair    REG_DWORD    0x1"), std::string::npos) << shown;
    EXPECT_NE(shown.find("DisplayIcon    REG_SZ    " + uninstaller), std::string::npos) << shown;
}

TEST_F(Registration, UserRootKeepsProductValuesUnderTheUser) {
    app.m_hRootKey = HKEY_CURRENT_USER;
    engine.WriteReg();
    EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, kProductKey, "SetupPath"), dest);
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kProductKey));
    // A user who may not write the machine's list finds the entry in their own;
    // nothing is written for the machine.
    EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, kUninstallKey, "DisplayName"), "Brellic Pagewright");
    EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, kUninstallKey, "QuietUninstallString"),
              "\"" + dest + "uninstall.exe\" /S");
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

TEST_F(Registration, MediaEditorWithoutVersionStoresEmptyTexts) {
    std::string media = scratch / "media";
    ::CreateDirectoryA(media.c_str(), nullptr);
    ASSERT_TRUE(CopyOneFile(TestEditor("none"), media + "\\Scrivo.ex_"));
    app.m_strSourceDir = media.c_str();
    engine.WriteReg();
    EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, kProductKey, "version"), "");
    EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"), "");
}
