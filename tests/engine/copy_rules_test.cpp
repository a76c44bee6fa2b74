// The rules of the install engine, tested directly.
#include <gtest/gtest.h>

#include "common/product_catalogue.h"
#include "cstring_printer.h"
#include "engine_fixture.h"
#include "setup/engine/copy_rules.h"
#include "setup/engine/path_rules.h"

namespace {
std::vector<CString> Fixed() {
    return {"Scrivo.ex_", "readme.txt", "uninstall.ex_", "BRLXCJK.BIN", "what's new.txt", "Known Issues.txt"};
}
std::vector<CString> Plus(std::vector<CString> list, std::initializer_list<const char*> more) {
    for (const char* name : more)
        list.push_back(name);
    return list;
}
}  // namespace

TEST(CopyListRule, EveryPlatformAndMediaCombination) {
    struct Case {
        const char* what;
        CopyListFacts facts;
        std::vector<CString> expected;
    } cases[] = {
        {"XP, GDI+, bare media", {true, 2, 5, 1, true, false, false}, Fixed()},
        {"Windows 95 without GDI+, full media",
         {true, 1, 4, 0, false, true, true},
         Plus(Fixed(), {"msimg32.dl_", "mscms.dl_", "GDIPlus.dl_", "leafview.ex_", "scrivoguide.pdf"})},
        {"Windows 98", {true, 1, 4, 10, true, false, false}, Fixed()},
        {"Windows Me", {true, 1, 4, 90, true, false, false}, Fixed()},
        {"NT 4", {true, 2, 4, 0, true, false, false}, Plus(Fixed(), {"msimg32.dl_", "mscms.dl_"})},
        {"NT 3.51", {true, 2, 3, 51, true, false, false}, Plus(Fixed(), {"msimg32.dl_", "mscms.dl_"})},
        {"Windows 2000 without GDI+", {true, 2, 5, 0, false, false, false}, Plus(Fixed(), {"GDIPlus.dl_"})},
        {"version unknown", {false, 1, 4, 0, true, false, false}, Fixed()},
        {"Win32s family", {true, 0, 3, 10, true, false, false}, Fixed()},
        {"reader only", {true, 2, 6, 1, true, true, false}, Plus(Fixed(), {"leafview.ex_"})},
        {"manual only", {true, 2, 6, 1, true, false, true}, Plus(Fixed(), {"scrivoguide.pdf"})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildCopyList(c.facts), c.expected) << c.what;
}

TEST(InstalledNames, UnderscoreRestoresTheLetterAndTheCatalogueAgrees) {
    for (const MediaFileNames& file : kMediaFiles)
        EXPECT_EQ(InstalledName(file.media), file.installed) << file.media;
    for (const char* unchanged : {"notes.do_", "_", ""})
        EXPECT_EQ(InstalledName(unchanged), unchanged);
    EXPECT_EQ(InstalledName("x_"), "xe");

    // The uninstaller and the pages read the catalogue's names, not the rule.
    std::vector<std::string> catalogue, expected;
    for (const ProductFile& file : kProductFiles)
        catalogue.push_back(std::string(file.mediaName) + " -> " + file.installedName);
    for (const MediaFileNames& file : kMediaFiles)
        expected.push_back(std::string(file.media) + " -> " + file.installed);
    EXPECT_EQ(catalogue, expected);
}

TEST(VersionText, FourHalvesInOrder) {
    EXPECT_EQ(VersionText(0x00020000, 0x00000001), "2.0.0.1");
    EXPECT_EQ(VersionText(0xFFFFFFFF, 0xFFFFFFFF), "65535.65535.65535.65535");
    EXPECT_EQ(VersionText(0xFFFFFFFF, 0xFFFFFFFF).GetLength(), 23);
    EXPECT_EQ(BackupName("2.0.0.0"), "Scrivo(2.0.0.0).exe");
    EXPECT_EQ(BackupName(""), "Scrivo().exe");
}

TEST(VersionText, ParsesOnlyFourNumbersOfSixteenBits) {
    uint16_t parts[4];
    ASSERT_TRUE(ParseVersionText("10.0.65535.7", parts));
    EXPECT_EQ(parts[0], 10);
    EXPECT_EQ(parts[2], 65535);
    EXPECT_EQ(parts[3], 7);
    for (const char* bad :
         {"", "1.2.3", "1.2.3.4.5", "1..2.3", "1.2.3.65536", "a.b.c.d", "1.2.3.4 ", ".1.2.3", "1.2.3.", "000001.2.3.4"})
        EXPECT_FALSE(ParseVersionText(bad, parts)) << bad;
}

TEST(BackupOfferRule, NumbersCompareAsNumbers) {
    struct Case {
        const char* media;
        const char* installed;
        bool offer;
    } cases[] = {
        {"2.1.0.0", "2.0.0.0", true},
        {"2.0.0.10", "2.0.0.9", true},
        {"10.0.0.0", "9.0.0.0", true},
        {"2.0.0.9", "2.0.0.10", false},
        {"9.0.0.0", "10.0.0.0", false},
        {"2.0.0.0", "2.0.0.0", false},
        {"2.0.0.0", "2.1.0.0", false},
        {"", "2.0.0.0", false},
        {"", "", false},
        {"2.0.0.0", "", true},
        {"65535.65535.65535.65535", "65535.65535.65535.65534", true},
        {"b", "a", true},  // texts we did not make keep the plain text order
    };
    for (const Case& c : cases)
        EXPECT_EQ(OffersBackup(c.media, c.installed), c.offer) << c.media << " over " << c.installed;
}

TEST(UncopiedFiles, MessageNamesEachFile) {
    CString text = UncopiedFilesMessage({"Scrivo.exe", "what's new.txt"});
    EXPECT_GE(text.Find("could not be installed"), 0);
    EXPECT_GE(text.Find("\n    Scrivo.exe\n    what's new.txt\n"), 0);
    EXPECT_EQ(KibibytesFor(0), 0u);
    EXPECT_EQ(KibibytesFor(1), 1u);
    EXPECT_EQ(KibibytesFor(1024), 1u);
    EXPECT_EQ(KibibytesFor(1025), 2u);
    EXPECT_EQ(KibibytesFor(~0ull), 0xFFFFFFFFu);
}

TEST(PathRules, FoldersPatternsAndSteps) {
    EXPECT_EQ(PathInFolder("C:\\A\\", "x.exe"), "C:\\A\\x.exe");
    EXPECT_EQ(PathInFolder("C:\\A", "x.exe"), "C:\\A\\x.exe");
    EXPECT_EQ(FolderSearchPattern("C:\\A\\"), "C:\\A\\*.*");
    EXPECT_EQ(FolderSearchPattern("C:"), "C:\\*.*");
    EXPECT_EQ(FolderSearchPattern(""), "\\*.*");

    struct Case {
        const char* path;
        const char* root;
        std::vector<CString> components;
    } cases[] = {
        {"C:\\A\\B\\C", "", {"C:", "A", "B", "C"}},
        {"C:\\\\A\\B\\\\", "", {"C:", "A", "B"}},
        {"\\Top\\Sub", "\\", {"Top", "Sub"}},
        {"\\\\server\\share\\A\\B", "\\\\server\\share\\", {"A", "B"}},
        {"\\\\server\\share", "\\\\server\\share\\", {}},
        {"\\\\server", "\\\\server\\", {}},
        {"relative\\x", "", {"relative", "x"}},
        {"", "", {}},
    };
    for (const Case& c : cases) {
        FolderSteps steps = SplitFolderSteps(c.path);
        EXPECT_EQ(steps.root, c.root) << c.path;
        EXPECT_EQ(steps.components, c.components) << c.path;
    }
}
