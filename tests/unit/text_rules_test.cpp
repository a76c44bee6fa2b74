#include <gtest/gtest.h>

#include "common/text_rules.h"
#include "framework/afx_string.h"

TEST(TailMatching, LastCharactersCompareExactly) {
    struct Case {
        const char* tail;
        bool autorun;
    } cases[] = {
        {"autorun", true},      {"x autorun", true},     {"/autorun", true},  {"Autorun", false},
        {"autorun ", false},    {"autoru", false},       {"", false},         {"run", false},
        {"notautorun", true},   {"AUTORUN", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TailEndsWith(CString(c.tail), "autorun"), c.autorun) << '"' << c.tail << '"';
    EXPECT_TRUE(TailEndsWith("please notruneditor", "notruneditor"));
    EXPECT_TRUE(TailEndsWith("notruneditor", "notruneditor"));
    EXPECT_FALSE(TailEndsWith("notruneditor ", "notruneditor"));
    EXPECT_FALSE(TailEndsWith("NotRunEditor", "notruneditor"));
}

TEST(DecimalConversion, BehavesLikeTheCLibrary) {
    EXPECT_EQ(DecimalToInt32("12abc"), 12);
    EXPECT_EQ(DecimalToInt32("abc"), 0);
    EXPECT_EQ(DecimalToInt32("  -7"), -7);
    EXPECT_EQ(DecimalToInt32("+5"), 5);
    EXPECT_EQ(DecimalToInt32(""), 0);
    EXPECT_EQ(DecimalToInt32(nullptr), 0);
    EXPECT_EQ(DecimalToInt32("\t\n 42 "), 42);
    EXPECT_EQ(DecimalToInt32("4294967295"), -1);
    EXPECT_EQ(DecimalToInt32("- 3"), 0);
}

TEST(PathArithmetic, FolderPartsOfPaths) {
    EXPECT_EQ(UpToLastBackslash("C:\\App\\Sub\\"), "C:\\App\\Sub\\");
    EXPECT_EQ(UpToLastBackslash("C:\\App\\file"), "C:\\App\\");
    EXPECT_EQ(UpToLastBackslash("nofolder"), "");
    EXPECT_EQ(BeforeLastBackslash("E:\\setup.exe"), "E:");
    EXPECT_EQ(BeforeLastBackslash("setup.exe"), "setup.exe");
    EXPECT_EQ(ParentSeparatorIndex("C:\\A\\B\\"), 4);
    EXPECT_EQ(ParentSeparatorIndex("C:\\"), -1);
    EXPECT_EQ(ParentSeparatorIndex("\\"), -1);
    EXPECT_EQ(WithTrailingBackslash("C:"), "C:\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\"), "C:\\");
}

TEST(FormattedText, NullTextPrintsAsNullAndLengthIsUnbounded) {
    CString s;
    const char* volatile none = nullptr;
    s.Format("start CopyFileToAnother(%s, %s)\r\n", none, none);
    EXPECT_EQ(s, "start CopyFileToAnother((null), (null))\r\n");
    std::string big(100000, 'x');
    s.Format("[%s]", big.c_str());
    EXPECT_EQ(s.GetLength(), 100002);
}
