// The run's log never writes through what another user put at its path first.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/run_log.h"
#include "test_fs.h"

// A second name of someone else's file where the log is to go: the file keeps
// its content, and the log is a new file of the run's own. The removal run goes
// on only with a log that is still a plain file of one name. (Wine 8 shows a
// symbolic link to a file as the file itself, and deletes the target through
// it: a link is removed through a handle to the name, which Windows honours and
// Wine cannot show.)
TEST(RunLog, ASecondNameOfAnotherFileAtItsPathIsReplacedNotWrittenThrough) {
    ScratchDir scratch("log");
    std::string sentinel = scratch / "someone else's.txt";
    ASSERT_TRUE(WriteFileText(sentinel, "keep me"));
    std::string planted = scratch / "Brellic Pagewright Setup.log";
    ASSERT_TRUE(::CreateHardLinkA(planted.c_str(), sentinel.c_str(), nullptr));
    {
        CRunLog log;
        ASSERT_TRUE(log.Open(planted.c_str(), "Test"));
        log.Write("the run's own line\r\n");
    }
    EXPECT_EQ(ReadFileText(sentinel), "keep me");
    EXPECT_EQ(ReadFileText(planted), "the run's own line\r\n");

    ASSERT_TRUE(::DeleteFileA(planted.c_str()));
    ASSERT_TRUE(::CreateHardLinkA(planted.c_str(), sentinel.c_str(), nullptr));
    CRunLog appended;
    EXPECT_FALSE(appended.Open(planted.c_str(), "Test", true));
    EXPECT_EQ(ReadFileText(sentinel), "keep me");
}
