// Creating the destination and the Start-menu group folders, level by level.
#include "engine_fixture.h"

namespace {
std::string Found(const std::string& pattern) {
    return "FindFirstFile(" + pattern + ", 0xADDR);\r\n";
}
// The search lines of every level of an existing folder, from the drive down.
std::string ExistingLevels(const std::string& folder) {
    std::string lines;
    size_t start = 0;
    for (size_t slash = folder.find('\\'); start < folder.size(); slash = folder.find('\\', start)) {
        if (slash == std::string::npos)
            slash = folder.size();
        lines += Found(folder.substr(0, slash) + "\\*.*");
        start = slash + 1;
    }
    return lines;
}
class Directories : public EngineTest {};
}  // namespace

TEST_F(Directories, CreateThePathMakesMissingParentsFirst) {
    std::string a = scratch / "A";
    ::CreateDirectoryA(a.c_str(), nullptr);
    EXPECT_TRUE(engine.CreateThePath((a + "\\B\\C\\").c_str()));
    EXPECT_TRUE(DirExists(a + "\\B\\C"));
    EXPECT_EQ(Log(), "start CreateThePath (" + a + "\\B\\C\\)\r\nstart CreateThePath (" + a +
                         "\\B)\r\nexit CreateThePath()\r\nexit CreateThePath()\r\n");

    for (std::string existing : {a, a + "\\"}) {
        g_strDebugLog.Empty();
        EXPECT_TRUE(engine.CreateThePath(existing.c_str()));
        EXPECT_EQ(Log(), "start CreateThePath (" + existing + ")\r\nexit CreateThePath()\r\n");
    }
}

TEST_F(Directories, CreateThePathResultsForEmptyAndImpossiblePaths) {
    EXPECT_FALSE(engine.CreateThePath(""));
    EXPECT_FALSE(engine.CreateThePath(nullptr));
    EXPECT_EQ(Log(),
              "start CreateThePath ()\r\nexit CreateThePath()\r\nstart CreateThePath ()\r\nexit CreateThePath()\r\n");
    g_strDebugLog.Empty();
    // No backslash, so no parent to try; the folder cannot be made and the answer is still TRUE.
    EXPECT_TRUE(engine.CreateThePath("bad<name>"));
    EXPECT_EQ(Log(), "start CreateThePath (bad<name>)\r\nexit CreateThePath()\r\n");
}

TEST_F(Directories, MyCreatePathCreatesEachMissingLevelFromTheTop) {
    std::string first = scratch / "L1";
    ::CreateDirectoryA(first.c_str(), nullptr);
    EXPECT_TRUE(engine.MyCreatePath((first + "\\\\L2\\L3\\").c_str()));
    EXPECT_TRUE(DirExists(first + "\\L2\\L3"));
    EXPECT_EQ(WithoutAddresses(Log()), "start MyCreatePath(" + first + "\\\\L2\\L3\\)\r\n" + ExistingLevels(first) +
                                           Found(first + "\\L2\\*.*") + "CreateDirectory(" + first +
                                           "\\L2\\, NULL);\r\n" + Found(first + "\\L2\\L3\\*.*") + "CreateDirectory(" +
                                           first + "\\L2\\L3\\, NULL);\r\n" + Found(first + "\\L2\\L3\\*.*") +
                                           "exit MyCreatePath();\r\n");
}

TEST_F(Directories, MyCreatePathStopsAtAFileAndKeepsNetworkPathsWhole) {
    ASSERT_TRUE(WriteFileText(scratch / "file.txt", "x"));
    std::string blocked = scratch / "file.txt";
    EXPECT_FALSE(engine.MyCreatePath((blocked + "\\sub").c_str()));
    std::string log = WithoutAddresses(Log());
    std::string tail = Found(blocked + "\\*.*") + "CreateDirectory(" + blocked +
                       "\\, NULL);\r\nFindClose();\r\nexit MyCreatePath()\r\n";
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail);
    EXPECT_EQ(ReadFileText(blocked), "x");

    // A network path must not turn into folders below the current one.
    char previous[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ::SetCurrentDirectoryA(scratch.Path().c_str());
    g_strDebugLog.Empty();
    EXPECT_FALSE(engine.MyCreatePath("\\\\nosuchserver\\share\\Programs"));
    ::SetCurrentDirectoryA(previous);
    EXPECT_EQ(CountEntries(scratch.Path()), 1);
    EXPECT_EQ(WithoutAddresses(Log()).substr(0, 90), ("start MyCreatePath(\\\\nosuchserver\\share\\Programs)\r\n" +
                                                      Found("\\\\nosuchserver\\share\\Programs\\*.*"))
                                                         .substr(0, 90));
}
