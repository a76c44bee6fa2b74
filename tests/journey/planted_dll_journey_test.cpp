// The whole journey with libraries planted beside setup.exe and in the
// temporary folder that holds the uninstaller's own, and Wine told to prefer such native copies:
// none of them is loaded.
#include <gtest/gtest.h>

#include "journey.h"
#include "test_paths.h"

namespace {
const char kMark[] = "C:\\brellic-planted-loaded.txt";
// Libraries a program of ours could be tricked into loading: the two it asks
// for by name, and those Windows looks for beside a program before its own.
// ("version.dll" and "msimg32.dll" are not among them yet: Wine's loader
// takes a planted copy of those while it resolves the system libraries' own
// imports, which the program's search settings do not reach.)
const char* const kPlantedBases[] = {"gdiplus",   "netapi32", "uxtheme", "dwmapi",
                                     "cryptbase", "propsys",  "profapi", "comctl32"};

const char* const kPrograms[] = {"naive_loader.exe", "setup.exe", "uninstall.exe", "Uninstall.exe"};

// Wine's per-program setting that prefers a native copy of a library found
// beside the program over its own; the loader reads it at each start.
class PreferNativeCopies {
public:
    PreferNativeCopies() {
        for (const char* program : kPrograms)
            for (const char* name : kPlantedBases)
                RegWriteRaw(HKEY_CURRENT_USER, Key(program).c_str(), name, REG_SZ, "native,builtin", 15);
    }
    ~PreferNativeCopies() {
        for (const char* program : kPrograms)
            RegDeleteTreeAll(HKEY_CURRENT_USER, (std::string("Software\\Wine\\AppDefaults\\") + program).c_str());
    }

private:
    static std::string Key(const char* program) {
        return std::string("Software\\Wine\\AppDefaults\\") + program + "\\DllOverrides";
    }
};

void Plant(const std::string& folder) {
    for (const char* base : kPlantedBases)
        CopyOneFile(std::string(TEST_DATA_DIR) + "\\planted.dll", folder + "\\" + base + ".dll");
}
}  // namespace

TEST_F(Journey, LibrariesPlantedBesideTheProgramsAreNeverLoaded) {
    ::DeleteFileA(kMark);
    // The planted library works: loaded on purpose, it leaves its mark.
    HMODULE control = ::LoadLibraryA((std::string(TEST_DATA_DIR) + "\\planted.dll").c_str());
    ASSERT_TRUE(control);
    ::FreeLibrary(control);
    ASSERT_TRUE(FileExists(kMark));
    ::DeleteFileA(kMark);

    Plant(media.Path());
    PreferNativeCopies preferNative;
    {
        // A program that loads by bare name from the media folder does pick the planted copy.
        CopyOneFile(std::string(TEST_DATA_DIR) + "\\naive_loader.exe", media / "naive_loader.exe");
        ChildProcess naive(media / "naive_loader.exe", "gdiplus.dll", media.Path());
        EXPECT_EQ(naive.WaitExit(), 0);
        EXPECT_NE(ReadFileText(kMark).find("gdiplus.dll"), std::string::npos) << "the threat is real here";
        ::DeleteFileA((media / "naive_loader.exe").c_str());
        ::DeleteFileA(kMark);
    }
    SetupRun run(media.Path());
    HWND finish = WalkToFinish(run);
    ASSERT_TRUE(finish);
    Click(finish, 1008);
    Click(finish, IDOK);
    EXPECT_EQ(run.WaitExit(30000), 0);
    EXPECT_TRUE(FileExists(std::string(kDefaultFolder) + "\\Scrivo.exe"));

    // The copy's own folder is new and closed to others; the temporary folder around it is not.
    std::string temporary = TempFolderPath().substr(0, TempFolderPath().size() - 1);
    Plant(temporary);
    EXPECT_EQ(RemoveThroughInstalledPrograms(), "You have successfully removed Brellic Pagewright.");
    EXPECT_FALSE(DirExists(kDefaultFolder));
    EXPECT_FALSE(FileExists(kMark)) << ReadFileText(kMark);
    for (const char* base : kPlantedBases)
        ::DeleteFileA((temporary + "\\" + base + ".dll").c_str());
    ::DeleteFileA(kMark);
}
