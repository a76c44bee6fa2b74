// File versions read from real version resources of the test builds.
#include "engine_fixture.h"

namespace {
FARPROC NothingBound(const char*, const char*) {
    return nullptr;
}
class FileVersion : public EngineTest {};
}  // namespace

TEST_F(FileVersion, ReadsTheFileVersionOfRealResources) {
    struct Case {
        std::string path;
        BOOL ok;
        const char* version;
    } cases[] = {
        {TestEditor("2.0.0.1"), TRUE, "2.0.0.1"},  // its product version is 9.9.9.9
        {TestEditor("65535.65535.65535.65535"), TRUE, "65535.65535.65535.65535"},
        {std::string(TEST_MEDIA_DIR) + "\\Scrivo.ex_", TRUE, kMediaEditorVersion},
        {TestEditor("none"), FALSE, ""},
        {std::string(TEST_MEDIA_DIR) + "\\readme.txt", FALSE, ""},
        {scratch / "missing.exe", FALSE, ""},
        {"", FALSE, ""},
    };
    for (const Case& c : cases) {
        CString version = "stale";
        EXPECT_EQ(engine.GetFileVersion(version, c.path.c_str()), c.ok) << c.path;
        EXPECT_EQ(version, c.version) << c.path;
    }
}

TEST_F(FileVersion, TraceEchoesEachCall) {
    CString version;
    std::string path = TestEditor("2.0.0.1");
    ASSERT_TRUE(engine.GetFileVersion(version, path.c_str()));
    EXPECT_EQ(version.GetLength(), 7);
    std::string expected = "start GetFileVersion( );\r\nGetFileVersionInfoSize(" + path +
                           ", & dwHandle); \r\nGetFileVersionInfoSize's return value: dwHandle = 0\r\n"
                           "GetFileVersionInfo(" +
                           path +
                           ", 0, SIZE, 0xADDR)\r\n"
                           "VerQueryValue(0xADDR, \\, &pTransTable, &nQuerySize)\r\n"
                           "VerQueryValue's return value: pTransTable = 0xADDR, nQuerySize = 52\r\n"
                           "exit GetFileVersion()\r\n";
    std::string log = std::regex_replace(WithoutAddresses(Log()), std::regex(", 0, [0-9]+, "), ", 0, SIZE, ");
    EXPECT_EQ(log, expected);

    g_strDebugLog.Empty();
    std::string text = std::string(TEST_MEDIA_DIR) + "\\readme.txt";
    EXPECT_FALSE(engine.GetFileVersion(version, text.c_str()));
    EXPECT_EQ(Log(), "start GetFileVersion( 2.0.0.1);\r\nGetFileVersionInfoSize(" + text +
                         ", & dwHandle); \r\nGetFileVersionInfoSize's return value: dwHandle = 0\r\n"
                         "exit GetFileVersion()\r\n");
}

TEST_F(FileVersion, NoVersionLibraryMeansNoVersion) {
    g_system.bindSystemFunction = NothingBound;
    CString version;
    EXPECT_FALSE(engine.GetFileVersion(version, TestEditor("2.0.0.1").c_str()));
    EXPECT_EQ(version, "");
}
