// The uninstaller's plain rules: names, the mode test, the folder it accepts,
// the upward walk, and the self-deletion command.
#include <gtest/gtest.h>

#include <string>

#include "uninstall/uninstall_rules.h"

namespace {
int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// Shift-JIS style lead bytes, to see that the byte after one is left alone.
bool FakeLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0x9F;
}
}  // namespace

TEST(BackupNames, BothPartsAnywhereInTheNameCaseSensitive) {
    struct {
        const char* name;
        bool backup;
    } cases[] = {
        {"Scrivo(1.0.0.1).exe", true}, {"Scrivo(2.0.0.10).exe", true}, {"old Scrivo(1).exe.bak", true},
        {"scrivo(1.0).exe", false},    {"Scrivo(1.0).EXE", false},     {"Scrivo.exe", false},
        {"Scrivo(1.0)exe", false},     {"Scrivo1.0).exe", false},      {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsBackupName(c.name), c.backup) << c.name;
}

TEST(ModeTest, OwnFreshTemporaryFolderInAnyLetterCase) {
    struct {
        const char* program;
        const char* temp;
        bool removal;
    } cases[] = {
        {"C:\\Users\\Ann\\Temp\\Brellic Pagewright-0123456789abcdef\\", "C:\\Users\\Ann\\Temp\\", true},
        {"c:\\users\\ann\\temp\\BRELLIC PAGEWRIGHT-0123456789ABCDEF\\", "C:\\Users\\Ann\\Temp\\", true},
        {"C:\\Users\\Ann\\Temp\\Brellic Pagewright-0123456789abcdef\\", "C:\\Users\\Ann\\Temp", true},
        {"C:\\Users\\Ann\\Temp\\Brellic Pagewright\\", "C:\\Users\\Ann\\Temp\\", false},
        {"C:\\Users\\Ann\\Temp\\Brellic Pagewright-\\", "C:\\Users\\Ann\\Temp\\", false},
        {"C:\\Users\\Ann\\Temp\\Brellic Pagewright-0123456789abcde\\", "C:\\Users\\Ann\\Temp\\", false},
        {"C:\\Users\\Ann\\Temp\\Brellic Pagewright-0123456789abcdeg\\", "C:\\Users\\Ann\\Temp\\", false},
        {"C:\\Users\\Ann\\Temp\\Brellic Pagewright-0123456789abcdef\\sub\\", "C:\\Users\\Ann\\Temp\\", false},
        {"C:\\Users\\Ann\\Temp\\", "C:\\Users\\Ann\\Temp\\", false},
        {"C:\\Program Files\\Brellic Software\\Pagewright\\", "C:\\Users\\Ann\\Temp\\", false},
        {"D:\\Users\\Ann\\Temp\\Brellic Pagewright-0123456789abcdef\\", "C:\\Users\\Ann\\Temp\\", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsOwnTempFolder(c.program, c.temp, FakeLeadByte), c.removal) << c.program << " | " << c.temp;
    // After a lead byte, 'a' and 'A' are different characters, not two cases of one.
    EXPECT_FALSE(
        IsOwnTempFolder("C:\\\x83"
                        "a\\Brellic Pagewright-0123456789abcdef\\",
                        "C:\\\x83"
                        "A\\",
                        FakeLeadByte));
    EXPECT_TRUE(
        IsOwnTempFolder("C:\\\x83"
                        "a\\brellic pagewright-0123456789abcdef\\",
                        "c:\\\x83"
                        "a\\",
                        FakeLeadByte));
    EXPECT_EQ(UpperCaseMultibyte("ab\x83"
                                 "cd",
                                 FakeLeadByte),
              "AB\x83"
              "cD");
}

TEST(InstallFolderText, ArgumentAndSetupPathBecomeAFolder) {
    struct {
        const char* tail;
        const char* folder;
    } arguments[] = {
        {"C:\\App\\", "C:\\App\\"},
        {"\"C:\\App\\\"", "C:\\App\\"},
        {"\"C:\\My App\\\"  ", "C:\\My App\\"},
        {"C:\\App\\ \t ", "C:\\App\\"},
        {"\"C:\\App", "\"C:\\App"},
        {"\"\"", ""},
        {"\"", "\""},
        {"\"\"C:\\x\\\"\"", "\"C:\\x\\\""},
        {"", ""},
        {"C:\\My App\\", "C:\\My App\\"},
    };
    for (const auto& a : arguments)
        EXPECT_EQ(InstallFolderArgument(a.tail), a.folder) << '[' << a.tail << ']';
    EXPECT_EQ(InstallFolderFromSetupPath("C:\\App\\"), "C:\\App\\");
    EXPECT_EQ(InstallFolderFromSetupPath("D:\\Tools\\Pagewright"), "D:\\Tools\\Pagewright\\");
    EXPECT_EQ(InstallFolderFromSetupPath(""), "");
    EXPECT_EQ(CopyPathIn("C:\\T\\"), "C:\\T\\Uninstall.exe");
    EXPECT_EQ(CopyPathIn("C:\\T"), "C:\\T\\Uninstall.exe");
}

TEST(InstallFolderText, OnlyPlainFullPathsBelowARootPass) {
    using P = FolderProblem;
    std::string long259 = "C:\\" + std::string(255, 'a') + "\\";  // 259 characters
    std::string long260 = "C:\\" + std::string(256, 'a') + "\\";
    struct {
        std::string folder;
        P problem;
    } cases[] = {
        {"C:\\Program Files\\Brellic Software\\Pagewright\\", P::None},
        {"C:\\App", P::None},
        {"d:\\my app\\x y\\", P::None},
        {"\\\\server\\share\\Pagewright\\", P::None},
        {long259, P::None},
        {"", P::Empty},
        {long260, P::TooLong},
        {"App\\", P::NotAbsolute},
        {"\\App\\", P::NotAbsolute},
        {"C:App\\", P::NotAbsolute},
        {"\\\\server\\", P::NotAbsolute},
        {"\\\\server\\\\x\\", P::NotAbsolute},
        {"C:\\App\"\\", P::NotPlain},
        {"\"C:\\App\\\"", P::NotPlain},
        {"C:\\App\\*", P::NotPlain},
        {"C:/Windows/", P::NotPlain},
        {"C:\\App\\..\\", P::NotPlain},
        {"C:\\App\\..\\..\\Windows\\", P::NotPlain},
        {"C:\\App\\.\\", P::NotPlain},
        {"C:\\Windows.\\", P::NotPlain},
        {"C:\\App \\", P::NotPlain},
        {"C:\\App\\\\", P::NotPlain},
        {"C:\\App:stream\\", P::NotPlain},
        {"C:\\App\\D:\\", P::NotPlain},
        {"\\\\?\\C:\\App\\", P::NotPlain},
        {"\\\\.\\C:\\App\\", P::NotPlain},
        {"\\\\server\\..\\Pagewright\\", P::NotPlain},
        {"\\\\..\\share\\Pagewright\\", P::NotPlain},
        {"C:\\App\\\tx\\", P::NotPlain},
        {"C:\\", P::DriveRoot},
        {"C:", P::DriveRoot},
        {"z:\\", P::DriveRoot},
        {"\\\\server\\share\\", P::DriveRoot},
        {"\\\\server\\share", P::DriveRoot},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckInstallFolderText(c.folder.c_str()), c.problem) << '[' << c.folder << ']';
}

TEST(InstallFolderText, SystemAndUserFoldersAndTheirParentsAreRefused) {
    std::vector<CString> protectedFolders = {"C:\\Windows\\", "C:\\Program Files\\", "C:\\Users\\Ann\\",
                                             "C:\\Users\\Ann\\AppData\\Local\\Temp\\"};
    std::vector<CString> forbidden = {"C:\\Windows\\"};
    struct {
        const char* folder;
        bool refused;
    } cases[] = {
        {"C:\\Windows\\", true},
        {"c:\\windows\\", true},
        {"C:\\Windows\\System32\\", true},
        {"C:\\WINDOWS\\SysWOW64\\x\\", true},
        {"C:\\Program Files\\", true},
        {"C:\\Users\\", true},
        {"C:\\Users\\Ann\\", true},
        {"C:\\Users\\Ann\\AppData\\", true},
        {"C:\\Users\\Ann\\AppData\\Local\\Temp\\", true},
        {"C:\\Program Files\\Brellic Software\\Pagewright\\", false},
        {"C:\\Users\\Ann\\AppData\\Local\\Temp\\inst\\Pagewright\\", false},
        {"C:\\Users\\Ann\\Apps\\Pagewright\\", false},
        {"C:\\Windows2\\", false},
        {"C:\\Program Files2\\", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckAgainstSystemFolders(c.folder, protectedFolders, forbidden) == FolderProblem::SystemFolder,
                  c.refused)
            << c.folder;
}

TEST(InstallFolderText, MessagesNameTheFolderAndSayNothingWasRemoved) {
    CString empty = FolderProblemMessage(FolderProblem::Empty, "");
    EXPECT_NE(empty.Find("not known"), -1);
    for (FolderProblem p : {FolderProblem::TooLong, FolderProblem::NotAbsolute, FolderProblem::NotPlain,
                            FolderProblem::DriveRoot, FolderProblem::SystemFolder}) {
        CString message = FolderProblemMessage(p, "C:\\x\\");
        EXPECT_NE(message.Find("\"C:\\x\\\""), -1) << message.c_str();
        EXPECT_NE(message.Find("Nothing has been removed."), -1) << message.c_str();
    }
}

TEST(FolderWalk, ParentFolderKeepsItsBackslashAndStopsAtTheTop) {
    EXPECT_EQ(ParentFolder("C:\\Program Files\\Brellic Software\\Pagewright\\"),
              "C:\\Program Files\\Brellic Software\\");
    EXPECT_EQ(ParentFolder("C:\\Program Files\\"), "C:\\");
    EXPECT_EQ(ParentFolder("C:\\"), "C:\\");
    EXPECT_EQ(ParentFolder("\\\\srv\\share\\x\\"), "\\\\srv\\share\\");
    EXPECT_EQ(ParentFolder("nothing"), "nothing");
}

TEST(Caption, TheInstalledAndTheCopiedUninstallerAreBothUninstall) {
    EXPECT_EQ(UninstallerTitle("uninstall"), "Uninstall");
    EXPECT_EQ(UninstallerTitle("Uninstall"), "Uninstall");
    EXPECT_EQ(UninstallerTitle("UNINSTALL"), "Uninstall");
    EXPECT_EQ(UninstallerTitle("uninst2"), "uninst2");
}

TEST(SelfDeleteCommand, QuotedPathsRetriesAndRefusals) {
    CString line = SelfDeleteCommandLine("C:\\windows\\system32\\cmd.exe", "C:\\Temp Dir\\BRELLI~1\\UNINST~1.EXE",
                                         "C:\\windows\\system32\\ping.exe");
    std::string text = line.str();
    EXPECT_EQ(
        text.rfind("\"C:\\windows\\system32\\cmd.exe\" /d /v:off /c del \"C:\\Temp Dir\\BRELLI~1\\UNINST~1.EXE\"", 0),
        0u)
        << text;
    EXPECT_EQ(Count(text, "del \"C:\\Temp Dir\\BRELLI~1\\UNINST~1.EXE\" >nul 2>&1"), kSelfDeleteAttempts);
    EXPECT_EQ(Count(text, "if exist \"C:\\Temp Dir\\BRELLI~1\\UNINST~1.EXE\" \"C:\\windows\\system32\\ping.exe\" -n 2"),
              kSelfDeleteAttempts - 1);

    // Long paths: fewer retries, but never past the interpreter's limit.
    std::string longPath = "C:\\" + std::string(240, 'x') + "\\Uninstall.exe";
    std::string longLine = SelfDeleteCommandLine("C:\\windows\\system32\\cmd.exe", longPath.c_str(),
                                                 ("C:\\" + std::string(200, 'p') + "\\ping.exe").c_str())
                               .str();
    EXPECT_LE(longLine.size(), 8191u);
    EXPECT_GE(Count(longLine, "del \""), 1);

    EXPECT_TRUE(SelfDeleteCommandLine("C:\\cmd.exe", "C:\\a\"b\\x.exe", "C:\\ping.exe").IsEmpty());
    EXPECT_TRUE(SelfDeleteCommandLine("C:\\cmd.exe", "C:\\%PATH%\\x.exe", "C:\\ping.exe").IsEmpty());
    EXPECT_TRUE(SelfDeleteCommandLine("", "C:\\x.exe", "C:\\ping.exe").IsEmpty());
}

// The folder goes right after the file, and only when empty.
TEST(SelfDeleteCommand, TheFolderIsRemovedAfterEachDeletion) {
    std::string text = SelfDeleteCommandLine("C:\\windows\\system32\\cmd.exe", "C:\\T\\BRELLI~1\\UNINST~1.EXE",
                                             "C:\\windows\\system32\\ping.exe", {"C:\\T\\BRELLI~1"})
                           .str();
    const std::string step = "del \"C:\\T\\BRELLI~1\\UNINST~1.EXE\" >nul 2>&1 & rd \"C:\\T\\BRELLI~1\" >nul 2>&1";
    EXPECT_EQ(Count(text, step), kSelfDeleteAttempts) << text;
    EXPECT_EQ(Count(text, "rd "), kSelfDeleteAttempts);
    EXPECT_EQ(Count(text, "if exist \"C:\\T\\BRELLI~1\" "), kSelfDeleteAttempts - 1);
    EXPECT_TRUE(SelfDeleteCommandLine("C:\\cmd.exe", "C:\\T\\x.exe", "C:\\ping.exe", {"C:\\%T%"}).IsEmpty());

    // Several folders: each after the file, deepest first; the wait is for the deepest.
    std::string two =
        SelfDeleteCommandLine("C:\\cmd.exe", "D:\\P\\B\\uninstall.exe.old", "C:\\ping.exe", {"D:\\P\\B", "D:\\P"})
            .str();
    EXPECT_EQ(Count(two, "rd \"D:\\P\\B\" >nul 2>&1 & rd \"D:\\P\" >nul 2>&1"), kSelfDeleteAttempts) << two;
    EXPECT_EQ(Count(two, "if exist \"D:\\P\\B\" "), kSelfDeleteAttempts - 1);
}
