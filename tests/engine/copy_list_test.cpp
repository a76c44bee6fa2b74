// The copy list built from the system's answers and the media's content.
#include "engine_fixture.h"

namespace {
OSVERSIONINFOA g_fakeVersion;
BOOL g_fakeVersionResult;
std::string g_libraryAskedFor;

BOOL WINAPI FakeVersionEx(LPOSVERSIONINFOA info) {
    if (info->dwOSVersionInfoSize != 148)
        return FALSE;
    info->dwPlatformId = g_fakeVersion.dwPlatformId;
    info->dwMajorVersion = g_fakeVersion.dwMajorVersion;
    info->dwMinorVersion = g_fakeVersion.dwMinorVersion;
    return g_fakeVersionResult;
}
HMODULE NoSystemLibrary(const char* name) {
    g_libraryAskedFor = name;
    return nullptr;
}

const char kListTrace[] =
    "start initCopyedFileList()\r\nGetVersionEx()\r\nload GDIPLUS.DLL\r\nexit initCopuFileList()\r\n";

class CopyList : public EngineTest {};
}  // namespace

TEST_F(CopyList, FollowsPlatformImagingLibraryAndMedia) {
    const std::vector<CString> fixed(kEveryMediaFile.begin(), kEveryMediaFile.begin() + 6);
    auto with = [&](std::initializer_list<const char*> more) {
        std::vector<CString> list = fixed;
        list.insert(list.end(), more.begin(), more.end());
        return list;
    };
    struct Case {
        const char* what;
        BOOL known;
        DWORD platform, major, minor;
        bool imaging, reader, manual;
        std::vector<CString> expected;
    } cases[] = {
        {"XP with GDI+, bare media", TRUE, 2, 5, 1, true, false, false, fixed},
        {"Windows 95 without GDI+, full media", TRUE, 1, 4, 0, false, true, true,
         with({"msimg32.dl_", "mscms.dl_", "GDIPlus.dl_", "leafview.ex_", "scrivoguide.pdf"})},
        {"Windows 98, reader", TRUE, 1, 4, 10, true, true, false, with({"leafview.ex_"})},
        {"Windows Me, manual", TRUE, 1, 4, 90, true, false, true, with({"scrivoguide.pdf"})},
        {"NT 4", TRUE, 2, 4, 0, true, false, false, with({"msimg32.dl_", "mscms.dl_"})},
        {"NT 3.51 without GDI+", TRUE, 2, 3, 51, false, false, false,
         with({"msimg32.dl_", "mscms.dl_", "GDIPlus.dl_"})},
        {"version query fails", FALSE, 1, 4, 0, true, false, false, fixed},
    };
    for (const Case& c : cases) {
        ScratchDir media("media");
        for (const CString& name : fixed)
            CopyOneFile(std::string(TEST_MEDIA_DIR) + "\\" + name.c_str(), media / name.c_str());
        if (c.reader)
            CopyOneFile(std::string(TEST_MEDIA_DIR) + "\\leafview.ex_", media / "leafview.ex_");
        if (c.manual)
            CopyOneFile(std::string(TEST_MEDIA_DIR) + "\\scrivoguide.pdf", media / "scrivoguide.pdf");
        g_fakeVersion.dwPlatformId = c.platform;
        g_fakeVersion.dwMajorVersion = c.major;
        g_fakeVersion.dwMinorVersion = c.minor;
        g_fakeVersionResult = c.known;
        g_system.getVersionEx = FakeVersionEx;
        g_system.loadSystemLibrary = c.imaging ? realSystem.loadSystemLibrary : NoSystemLibrary;
        app.m_strSourceDir = media.Path().c_str();
        g_strDebugLog.Empty();

        engine.initCopyedFileList();
        EXPECT_EQ(app.m_pCopyList, c.expected) << c.what;
        EXPECT_EQ(app.m_nCopyCount, static_cast<int>(c.expected.size())) << c.what;
        EXPECT_EQ(Log(), kListTrace) << c.what;
    }
}

TEST_F(CopyList, AsksForTheImagingLibraryFromTheSystemFolderOnly) {
    g_system.loadSystemLibrary = NoSystemLibrary;
    g_libraryAskedFor.clear();
    app.m_strSourceDir = TEST_MEDIA_DIR;
    engine.initCopyedFileList();
    EXPECT_EQ(g_libraryAskedFor, "gdiplus.dll");
    // This system (Wine, 6.1) has GDI+ in its system folder, so the real seam finds it.
    g_system = realSystem;
    engine.initCopyedFileList();
    EXPECT_EQ(app.m_nCopyCount, 8) << "six fixed files, reader and manual";
}

TEST_F(CopyList, RebuiltNotDoubledAndUnreadableReaderLeftOut) {
    std::string media = MakeMedia({"Scrivo.ex_", "leafview.ex_", "scrivoguide.pdf"});
    app.m_strSourceDir = media.c_str();
    engine.initCopyedFileList();
    engine.initCopyedFileList();
    ASSERT_EQ(app.m_nCopyCount, 8);
    EXPECT_EQ(app.m_pCopyList.size(), 8u);
    EXPECT_EQ(Log(), std::string(kListTrace) + kListTrace);

    // A reader held open without sharing cannot be opened: it counts as absent.
    HANDLE held =
        ::CreateFileA((media + "\\leafview.ex_").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    engine.initCopyedFileList();
    ::CloseHandle(held);
    EXPECT_EQ(app.m_nCopyCount, 7);
    EXPECT_EQ(app.m_pCopyList.back(), "scrivoguide.pdf");
}
