// The pages' plain rules: the confirmation summary, the browsed folder's name,
// the destination check's text part and the finish page's tail.
#include <gtest/gtest.h>

#include <string>

#include "setup/pages/page_rules.h"

namespace {

struct SummaryCase {
    int desktop;
    int startMenu;
    const char* expected;
};

TEST(ConfirmationSummary, ListsFolderThenOnlyTheChosenShortcutsByteForByte) {
    const char* dir = "C:\\Program Files\\Brellic Software\\Pagewright\\";
    const SummaryCase cases[] = {
        {1, 1,
         "Destination location: \r\n   C:\\Program Files\\Brellic Software\\Pagewright\\\r\n\r\nDesktop Settings: \r\n"
         "   Add a desktop shortcut\r\n   Add an icon to the Start Menu \r\n"},
        {1, 0,
         "Destination location: \r\n   C:\\Program Files\\Brellic Software\\Pagewright\\\r\n\r\nDesktop Settings: \r\n"
         "   Add a desktop shortcut\r\n"},
        {0, 1,
         "Destination location: \r\n   C:\\Program Files\\Brellic Software\\Pagewright\\\r\n\r\nDesktop Settings: \r\n"
         "   Add an icon to the Start Menu \r\n"},
        {0, 0,
         "Destination location: \r\n   C:\\Program Files\\Brellic Software\\Pagewright\\\r\n\r\nDesktop Settings: "
         "\r\n"},
    };
    for (const SummaryCase& c : cases)
        EXPECT_EQ(std::string(ConfirmationSummary(dir, c.desktop, c.startMenu)), c.expected)
            << "desktop " << c.desktop << ", start menu " << c.startMenu;
}

TEST(ConfirmationSummary, ShowsTheFolderExactlyAsHeld) {
    EXPECT_EQ(std::string(ConfirmationSummary("D:\\x", 0, 0)),
              "Destination location: \r\n   D:\\x\r\n\r\nDesktop Settings: \r\n");
}

TEST(BrowsedInstallDir, AppendsTheProductFolderUnlessPresentInAnyCase) {
    const struct {
        const char* chosen;
        const char* expected;
    } cases[] = {
        {"C:\\Tools", "C:\\Tools\\Pagewright\\"},
        {"C:\\Tools\\", "C:\\Tools\\Pagewright\\"},
        {"C:\\Tools\\PAGEWRIGHT", "C:\\Tools\\PAGEWRIGHT\\"},
        {"C:\\Tools\\pagewright\\", "C:\\Tools\\pagewright\\"},
        {"E:\\", "E:\\Pagewright\\"},
        {"C:\\MyPagewright", "C:\\MyPagewright\\"},  // ends with the name: taken as the product's folder
        {"C:\\Pagewrights", "C:\\Pagewrights\\Pagewright\\"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::string(BrowsedInstallDir(c.chosen)), c.expected) << c.chosen;
}

TEST(DestinationProbePattern, LooksForTheDriveOfAbsoluteFoldersOnly) {
    const struct {
        const char* typed;
        const char* pattern;  // "" = rejected without looking
    } cases[] = {
        {"C:\\No\\Such\\Folder", "C:\\*.*"},
        {"C:", "C:\\*.*"},
        {"d:\\Apps", "d:\\*.*"},
        {"C:/Apps", "C:\\*.*"},
        {"\\\\server\\share\\Apps", ""},
        {"Apps\\Pagewright", ""},
        {"C", ""},
        {"", ""},
        {":\\Apps", ""},
        {"1:\\Apps", ""},
        {"C:Apps", ""},  // relative to drive C's current folder
        {"C:\\a|b", ""},
        {"C:\\a<b", ""},
        {"C:\\what?", ""},
        {"C:\\a\\b:c", ""},
        {"C:\\tab\there", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::string(DestinationProbePattern(c.typed)), c.pattern) << c.typed;
}

// The engine works with paths of at most 259 characters; the longest file it
// writes into the folder is the backup of an editor with the widest version.
TEST(DestinationProbePattern, RejectsFoldersTooLongForTheInstalledFiles) {
    const int longest = LongestInstalledNameLength();
    EXPECT_EQ(longest, static_cast<int>(std::string("Scrivo(65535.65535.65535.65535).exe").size()));
    const int roomForFolder = 259 - longest;                          // with its trailing backslash
    std::string fits = "C:\\" + std::string(roomForFolder - 4, 'a');  // plus the backslash appended later
    ASSERT_EQ(static_cast<int>(fits.size()) + 1, roomForFolder);
    EXPECT_EQ(std::string(DestinationProbePattern(fits)), "C:\\*.*");
    EXPECT_EQ(std::string(DestinationProbePattern(fits + "\\")), "C:\\*.*");
    EXPECT_EQ(std::string(DestinationProbePattern(fits + "a")), "");
    EXPECT_TRUE(FolderFitsInstalledFiles((fits + "\\").c_str()));
    EXPECT_FALSE(FolderFitsInstalledFiles((fits + "a\\").c_str()));
}

TEST(RunOptionHidden, OnlyForATailEndingExactlyInNotruneditor) {
    const struct {
        const char* tail;
        bool hidden;
    } cases[] = {
        {"notruneditor", true},
        {"/q notruneditor", true},
        {"xnotruneditor", true},
        {"NotRunEditor", false},
        {"notruneditor ", false},
        {"notruneditor x", false},
        {"", false},
        {"editor", false},
        {"autorun", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunOptionHidden(c.tail), c.hidden) << "\"" << c.tail << "\"";
}

}  // namespace
