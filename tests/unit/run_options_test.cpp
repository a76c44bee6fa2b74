#include <gtest/gtest.h>

#include "common/run_options.h"

TEST(SetupSwitches, NamesAndValuesInAnyCaseAndOrder) {
    RunOptions o = ParseSetupSwitches("-nodesktop /s /NoStartMenu /run /LOG=\"C:\\my logs\\a.log\" /CurrentUser");
    EXPECT_EQ(o.ui, UiLevel::Silent);
    EXPECT_TRUE(o.noDesktop && o.noStartMenu && o.run && o.log);
    EXPECT_EQ(o.logFile, "C:\\my logs\\a.log");
    EXPECT_EQ(o.scope, InstallScope::CurrentUser);
    EXPECT_TRUE(o.badSwitch.IsEmpty());

    EXPECT_EQ(ParseSetupSwitches("/passive").ui, UiLevel::Passive);
    EXPECT_EQ(ParseSetupSwitches("/SILENT /VERYSILENT").ui, UiLevel::Silent);
    EXPECT_EQ(ParseSetupSwitches("/VERYSILENT /passive").ui, UiLevel::Silent);  // the quieter wins
    EXPECT_TRUE(ParseSetupSwitches("/LOG").log);
    EXPECT_TRUE(ParseSetupSwitches("/LOG").logFile.IsEmpty());
    EXPECT_TRUE(ParseSetupSwitches("/?").help);
    EXPECT_TRUE(ParseSetupSwitches("-HELP").help);
    EXPECT_TRUE(ParseSetupSwitches("/NORESTART /ALLUSERS").badSwitch.IsEmpty());
}

TEST(SetupSwitches, DestinationLastTakesTheRestOfTheLine) {
    RunOptions o = ParseSetupSwitches("/S /NODESKTOP /D=C:\\Program Files\\Brellic  Test\\Pagewright   ");
    EXPECT_EQ(o.installDir, "C:\\Program Files\\Brellic  Test\\Pagewright");
    EXPECT_TRUE(o.noDesktop);
    EXPECT_EQ(ParseSetupSwitches("/D=C:\\a /S").installDir, "C:\\a /S");  // /D= must be last
    EXPECT_EQ(ParseSetupSwitches("/DIR=\"D:\\x y\\\" /S").installDir, "D:\\x y\\");
    EXPECT_EQ(ParseSetupSwitches("/DIR=\"D:\\x y\" /S").ui, UiLevel::Silent);
    // Quoted whole, as launchers that quote every argument with a blank pass it.
    RunOptions quoted = ParseSetupSwitches("/S \"/D=C:\\Apps\\Pw Test\"");
    EXPECT_EQ(quoted.installDir, "C:\\Apps\\Pw Test");
    EXPECT_TRUE(quoted.badSwitch.IsEmpty());
}

// A value switch quoted whole keeps its blanks, wherever it stands; several
// switches quoted together all count.
TEST(SetupSwitches, ASwitchQuotedWholeKeepsItsWholeValue) {
    RunOptions o = ParseSetupSwitches("\"/DIR=C:\\My Apps\\Caf\xe9 Pw\" \"/LOG=C:\\my logs\\x y.log\" /S");
    EXPECT_EQ(o.installDir, "C:\\My Apps\\Caf\xe9 Pw");
    EXPECT_EQ(o.logFile, "C:\\my logs\\x y.log");
    EXPECT_EQ(o.ui, UiLevel::Silent);
    EXPECT_TRUE(o.badSwitch.IsEmpty());
    RunOptions together = ParseSetupSwitches("\"/S /NODESKTOP\"");
    EXPECT_EQ(together.ui, UiLevel::Silent);
    EXPECT_TRUE(together.noDesktop);
    CString rest;
    RunOptions removal =
        ParseUninstallSwitches("/S \"/LOG=C:\\Temp\\Brellic Pagewright Uninstall.log\" C:\\x y\\", &rest);
    EXPECT_EQ(removal.logFile, "C:\\Temp\\Brellic Pagewright Uninstall.log");
    EXPECT_EQ(rest, " C:\\x y\\");
}

TEST(SetupSwitches, UnknownOrMisusedSwitchesAreNamed) {
    EXPECT_EQ(ParseSetupSwitches("/S /Q").badSwitch, "/Q");
    EXPECT_EQ(ParseSetupSwitches("/S=1").badSwitch, "/S=1");
    EXPECT_EQ(ParseSetupSwitches("/RUN=yes").badSwitch, "/RUN=yes");
    EXPECT_EQ(ParseSetupSwitches("/DIR=").badSwitch, "/DIR=");
    EXPECT_EQ(ParseSetupSwitches("-x -y").badSwitch, "-x");
}

TEST(SetupSwitches, TailWordsKeepTheirOwnMeaning) {
    for (const char* tail : {"", "autorun", "/autorun", "x notruneditor", "-notruneditor", "something else"}) {
        RunOptions o = ParseSetupSwitches(tail);
        EXPECT_TRUE(o.badSwitch.IsEmpty()) << tail;
        EXPECT_EQ(o.ui, UiLevel::Full) << tail;
    }
}

TEST(UninstallSwitches, SwitchesFirstThenTheFolderAsGiven) {
    CString rest;
    RunOptions o = ParseUninstallSwitches("/S /LOG=\"C:\\t\\u.log\" \"C:\\Program Files\\x  y\\\"", &rest);
    EXPECT_EQ(o.ui, UiLevel::Silent);
    EXPECT_EQ(o.logFile, "C:\\t\\u.log");
    EXPECT_EQ(rest, " \"C:\\Program Files\\x  y\\\"");
    ParseUninstallSwitches("C:\\Apps -x\\", &rest);
    EXPECT_EQ(rest, "C:\\Apps -x\\");
    EXPECT_EQ(ParseUninstallSwitches("/quiet /D=x").badSwitch, "/D=x");
    EXPECT_EQ(ExitCodeMeaning(kExitAlreadyRunning), CString("another installation or removal is in progress"));
}
