// Runs without a person: switches, exit codes, the log, one run at a time, and
// a killed installation rolled back by the next run.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it relies on.
#include <sddl.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <set>

#include "journey.h"
#include "test_fs.h"
#include "test_paths.h"

namespace {
// Waits for the end, handing every visible window of the process to seen() every 50 ms.
int WaitWatching(ChildProcess& process, const std::function<void(HWND)>& seen, int timeoutMs = 60000) {
    DWORD start = ::GetTickCount();
    int code = -1;
    while ((code = process.WaitExit(50)) == -1 && ::GetTickCount() - start < static_cast<DWORD>(timeoutMs))
        for (HWND hwnd : TopWindowsOf(process.Id()))
            seen(hwnd);
    return code;
}

int WaitWithoutWindows(ChildProcess& process, bool& sawWindow, int timeoutMs = 60000) {
    return WaitWatching(
        process, [&](HWND) { sawWindow = true; }, timeoutMs);
}

int RunQuietly(const std::string& exe,
               const std::string& args,
               const std::vector<std::string>& env = {},
               const std::string& cwd = "") {
    ChildProcess process(exe, args, cwd, env);
    bool sawWindow = false;
    int code = WaitWithoutWindows(process, sawWindow);
    EXPECT_FALSE(sawWindow) << exe << " " << args;
    return code;
}

void Collect(const std::string& folder, const std::string& relative, std::map<std::string, std::string>& out) {
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[relative + name + "\\"] = "";
            Collect(folder + "\\" + name, relative + name + "\\", out);
        } else {
            out[relative + name] = ReadFileText(folder + "\\" + name);
        }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
}

void CollectValues(HKEY root, const char* key, const std::string& tag, std::map<std::string, std::string>& out) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[4096];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (::RegEnumValueA(opened, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        out[tag + name] = std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), dataSize);
    }
    ::RegCloseKey(opened);
}

// Everything of ours a run can touch: files with contents, links, both keys.
std::map<std::string, std::string> MachineState() {
    std::map<std::string, std::string> state;
    Collect(kCompanyFolder, "files\\", state);
    Collect(ProgramsGroup(), "group\\", state);
    state["desktop"] = FileExists(DesktopLink()) ? ReadFileText(DesktopLink()) : "(none)";
    CollectValues(HKEY_LOCAL_MACHINE, kProductKey, "product\\", state);
    CollectValues(HKEY_LOCAL_MACHINE, kUninstallKey, "entry\\", state);
    return state;
}

std::string Describe(const std::map<std::string, std::string>& a, const std::map<std::string, std::string>& b) {
    std::string s;
    for (const auto& [k, v] : a)
        if (!b.count(k) || b.at(k) != v)
            s += "changed or gone: " + k + "\n";
    for (const auto& [k, v] : b)
        if (!a.count(k))
            s += "added: " + k + "\n";
    return s;
}

class Unattended : public Journey {
protected:
    void SetUp() override {
        Journey::SetUp();
        ASSERT_TRUE(CopyOneFile(SeamedSetupPath(), Seamed()));
    }
    std::string Setup() const { return media.Path() + "\\setup.exe"; }
    // The test build beside the media, for the facts Wine cannot produce.
    std::string Seamed() const { return media.Path() + "\\setup-seamed.exe"; }
};
}  // namespace

TEST_F(Unattended, SilentInstallIntoAFolderWithBlanksAndForeignLettersThenSilentRemoval) {
    std::string folder = kCompanyFolder + "\\P\xe4ge wright";
    std::string log = media / "setup log.txt";
    ASSERT_EQ(RunQuietly(Setup(), "/S /NODESKTOP /LOG=\"" + log + "\" /D=" + folder), 0);
    EXPECT_TRUE(FileExists(folder + "\\Scrivo.exe"));
    EXPECT_TRUE(FileExists(folder + "\\install.rec"));
    EXPECT_FALSE(FileExists(DesktopLink()));
    EXPECT_TRUE(FileExists(ProgramsGroup() + "\\Uninstall.lnk"));
    EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString"),
              "\"" + folder + "\\uninstall.exe\" /S");
    std::string text = ReadFileText(log);
    for (const char* expected :
         {"command line: /S /NODESKTOP", "administrator: yes", "registry root: HKEY_LOCAL_MACHINE", "Start setup\r\n",
          "exit setup!\r\n", "result: 0 success\r\n"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    EXPECT_NE(text.find("P\xc3\xa4ge wright"), std::string::npos) << "the log is UTF-8";

    // The quiet removal returns only once everything is gone; its log named
    // relative to the caller's folder gets the removal run's lines too.
    ASSERT_EQ(RunQuietly(folder + "\\uninstall.exe", "/S /LOG=removal.log", {}, media.Path()), 0);
    EXPECT_NE(ReadFileText(media / "removal.log").find("result: 0 success\r\n"), std::string::npos)
        << ReadFileText(media / "removal.log");
    EXPECT_FALSE(DirExists(kCompanyFolder));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(DirExists(ProgramsGroup()));
}

TEST_F(Unattended, RefusedRunsEndWithTheirCodesAndChangeNothing) {
    ProductTraces before = ProductTraces::Now();
    EXPECT_EQ(RunQuietly(Setup(), "/S /BOGUS"), 1639);
    EXPECT_EQ(RunQuietly(Setup(), "/S /D=C:\\"), 1639) << "a drive root is never a destination";
    EXPECT_EQ(RunQuietly(Setup(), "/S /?"), 0);
    EXPECT_EQ(RunQuietly(Seamed(), "/S /ALLUSERS", {"BRELLIC_TEST_NOT_ADMIN=1"}), 1603);
    {
        // Another run holds the lock.
        ScopedHandle other(::CreateMutexA(nullptr, TRUE, "Global\\Brellic Pagewright Setup and Uninstall"));
        ASSERT_TRUE(other.IsValid());
        EXPECT_EQ(RunQuietly(Setup(), "/S"), 1618);
        ::ReleaseMutex(other.Get());
    }
    ::DeleteFileA((media / "uninstall.ex_").c_str());
    EXPECT_EQ(RunQuietly(Setup(), "/S"), 1603) << "incomplete media";
    // Reading the product key leaves it behind, empty, as it always has; nothing else is there.
    ProductTraces after = ProductTraces::Now();
    after.productKeyMachine = before.productKeyMachine;
    EXPECT_EQ(after, before) << Describe(ProductTraces::Now());
    EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, kProductKey, kSetupPathValue), "<absent>");
}

// A standard user who makes the lock's object first, open to all, and holds it
// turns no administrator's run away; a real run's lock still does (above).
TEST_F(Unattended, ALockMadeByAnotherUserStopsNoAdministratorsRun) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorA("O:S-1-5-21-1-2-3-1001D:(A;;GA;;;WD)",
                                                                       SDDL_REVISION_1, &descriptor, nullptr));
    ScopedLocalMemory owned(descriptor);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    ScopedHandle squatter(::CreateMutexA(&attributes, TRUE, "Global\\Brellic Pagewright Setup and Uninstall"));
    ASSERT_TRUE(squatter.IsValid());
    EXPECT_EQ(RunQuietly(Setup(), "/S"), 0);
    EXPECT_TRUE(FileExists(kDefaultFolder + "\\Scrivo.exe"));
    EXPECT_EQ(RunQuietly(kDefaultFolder + "\\uninstall.exe", "/S"), 0);
    EXPECT_FALSE(DirExists(kDefaultFolder));
    ::ReleaseMutex(squatter.Get());
}

TEST_F(Unattended, TheRunningEditorFailsReinstallationAndRemovalAndKeepsTheInstallation) {
    ASSERT_EQ(RunQuietly(Setup(), "/S"), 0);
    ChildProcess editor(kDefaultFolder + "\\Scrivo.exe", "");
    ASSERT_TRUE(WaitForWindow(editor.Id(), [](HWND w) { return WindowText(w) == kEditorWindowTitle; }));
    std::map<std::string, std::string> installed = MachineState();
    std::string log = media / "reinstall.log";
    EXPECT_EQ(RunQuietly(Seamed(), "/S /LOG=\"" + log + "\"", {"BRELLIC_TEST_IN_USE_SECONDS=2"}), 1603);
    // Said once: the run's end gives the reason already written.
    const std::string text = ReadFileText(log);
    size_t first = text.find("failure: in use: ");
    EXPECT_NE(first, std::string::npos) << text;
    EXPECT_EQ(text.find("failure: ", first + 1), std::string::npos) << text;
    EXPECT_EQ(MachineState(), installed) << Describe(installed, MachineState());
    EXPECT_EQ(RunQuietly(kDefaultFolder + "\\uninstall.exe", "/S"), 1603);
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_TRUE(FileExists(kDefaultFolder + "\\uninstall.exe"));
    CloseEditors();
    EXPECT_EQ(RunQuietly(kDefaultFolder + "\\uninstall.exe", "/S"), 0);
    EXPECT_FALSE(DirExists(kDefaultFolder));
}

// Setup killed after its Nth record entry; the next run rolls the machine back
// to what it was: nothing (a fresh installation) or the earlier installation.
TEST_F(Unattended, KilledInstallationIsRolledBackByTheNextRun) {
    ScratchDir older("older-media");
    ASSERT_TRUE(CopyMedia(older.Path()));
    ASSERT_TRUE(CopyOneFile(std::string(TEST_DATA_DIR) + "\\scrivo-2.0.0.0.exe", older / "Scrivo.ex_"));
    for (bool reinstall : {false, true}) {
        CleanMachine();
        if (reinstall) {
            ASSERT_EQ(RunQuietly(older / "setup.exe", "/S"), 0);
        }
        std::map<std::string, std::string> before = MachineState();
        int points = 0;
        for (int n = 1; n <= 45; n += 3) {
            std::string log = media / "killed.log";
            auto killedRun = [&] {
                ChildProcess run(Seamed(), "/S /LOG=\"" + log + "\"", "",
                                 {"BRELLIC_TEST_KILL_AT=" + std::to_string(n), "BRELLIC_TEST_IN_USE_SECONDS=3"});
                bool sawWindow = false;
                int code = WaitWithoutWindows(run, sawWindow);
                EXPECT_FALSE(sawWindow) << n;
                // Once in many runs Wine left a process that had ended itself
                // standing for over a minute: it is ended from here then, which
                // is a kill at that point all the same.
                if (code == -1 && ::TerminateProcess(run.Handle(), 9))
                    code = run.WaitExit();
                return code;
            };
            // Every run before has ended by its handle; none may leave a process
            // behind to hold the installation's files, so "in use" fails the test.
            for (const char* program : {"setup-seamed.exe", "setup.exe", "uninstall.exe", "Scrivo.exe"})
                ASSERT_TRUE(WaitProcessesEnded(program)) << program << " still runs before the kill at " << n;
            int code = killedRun();
            if (code == 0) {  // fewer entries than n: the installation finished
                EXPECT_GT(n, 20);
                break;
            }
            ASSERT_EQ(code, 9) << n << "\n" << ReadFileText(log);
            ++points;
            // The next run rolls back first; then it is turned away before it changes anything.
            if (reinstall) {
                SetupRun run(media.Path());
                HWND question = run.Box("Do you want to reinstall it?");
                ASSERT_TRUE(question) << n;
                PressButton(question, IDNO);
                EXPECT_TRUE(run.FinishInterrupted()) << n;
            } else {
                EXPECT_EQ(RunQuietly(Setup(), "/S /D=C:\\"), 1639) << n;
            }
            EXPECT_EQ(MachineState(), before) << (reinstall ? "reinstall" : "fresh") << ", killed at " << n << "\n"
                                              << Describe(before, MachineState());
        }
        if (reinstall) {
            ASSERT_EQ(RunQuietly(older / "setup.exe", "/S"), 0) << "the earlier installation still reinstalls";
        }
        EXPECT_GE(points, 10);
        CleanMachine();
    }
}

// A typed folder that already exists gets no product folder of its own: what
// was there before survives the installation and the removal.
TEST_F(Unattended, RemovalTakesOnlyWhatSetupCreatedInAnExistingFolder) {
    ScratchDir tools("tools");
    const char* foreign[] = {"GDIPlus.dll", "preview3.dll", "notes.txt"};
    for (const char* name : foreign)
        ASSERT_TRUE(WriteFileText(tools / name, std::string("theirs: ") + name));
    ASSERT_EQ(RunQuietly(Setup(), "/S /D=" + tools.Path()), 0);
    EXPECT_TRUE(FileExists(tools / "Scrivo.exe"));
    ASSERT_EQ(RunQuietly(tools / "uninstall.exe", "/S"), 0);
    for (const char* name : foreign)
        EXPECT_EQ(ReadFileText(tools / name), std::string("theirs: ") + name);
    EXPECT_FALSE(FileExists(tools / "Scrivo.exe"));
    EXPECT_FALSE(FileExists(tools / "install.rec"));
    EXPECT_EQ(CountEntries(tools.Path()), 3);
}

// /passive: the progress window and nothing else; its Cancel undoes the
// installation without a question and ends with "cancelled".
TEST_F(Unattended, PassiveShowsOnlyTheProgressWindowAndItsCancelUndoesTheInstallation) {
    std::map<std::string, std::string> before = MachineState();
    for (bool cancel : {false, true}) {
        ChildProcess process(Seamed(), "/passive", "", {"BRELLIC_TEST_COPY_PAUSE_MS=400"});
        std::set<std::string> shown;
        bool cancelled = false;
        int code = WaitWatching(process, [&](HWND hwnd) {
            Page page = PageOf(hwnd);
            // A window that closed while it was read looks like no page at all.
            if (page == Page::None && !::IsWindowVisible(hwnd))
                return;
            shown.insert(page == Page::None ? "none: " + WindowClass(hwnd) + " [" + WindowText(hwnd) + "]"
                                            : std::string(PageName(page)));
            if (cancel && !cancelled && page == Page::Progress) {
                Click(hwnd, IDCANCEL);
                cancelled = true;
            }
        });
        EXPECT_EQ(shown, std::set<std::string>{"progress"}) << (cancel ? "cancelled" : "whole");
        if (cancel) {
            EXPECT_EQ(code, 1602);
            EXPECT_EQ(MachineState(), before) << Describe(before, MachineState());
        } else {
            EXPECT_EQ(code, 0);
            EXPECT_TRUE(FileExists(kDefaultFolder + "\\Scrivo.exe"));
            ASSERT_EQ(RunQuietly(kDefaultFolder + "\\uninstall.exe", "/S"), 0);
        }
    }
}

TEST_F(Unattended, MediaTakenAwayDuringTheCopyFailsAndUndoesTheInstallation) {
    std::map<std::string, std::string> before = MachineState();
    std::string log = media / "taken away.log";
    ChildProcess process(Seamed(), "/S /LOG=\"" + log + "\"", "", {"BRELLIC_TEST_COPY_PAUSE_MS=400"});
    for (int i = 0; i < 300 && !FileExists(kDefaultFolder + "\\Scrivo.exe"); ++i)
        ::Sleep(20);
    ASSERT_TRUE(::DeleteFileA((media / "scrivoguide.pdf").c_str()));
    EXPECT_EQ(process.WaitExit(60000), 1603);
    EXPECT_NE(ReadFileText(log).find("scrivoguide.pdf"), std::string::npos) << ReadFileText(log);
    EXPECT_EQ(MachineState(), before) << Describe(before, MachineState());
}

// An upgrade over an older editor keeps its backup, as the wizard's Yes does;
// the quiet removal takes the backup too.
TEST_F(Unattended, UpgradeKeepsTheOlderEditorAsBackupAndRemovalTakesEverything) {
    ScratchDir older("older-media");
    ASSERT_TRUE(CopyMedia(older.Path()));
    ASSERT_TRUE(CopyOneFile(std::string(TEST_DATA_DIR) + "\\scrivo-2.0.0.0.exe", older / "Scrivo.ex_"));
    ASSERT_EQ(RunQuietly(older / "setup.exe", "/S"), 0);
    std::string log = media / "upgrade.log";
    ASSERT_EQ(RunQuietly(Setup(), "/S /LOG=\"" + log + "\""), 0);
    EXPECT_EQ(ReadFileText(kDefaultFolder + "\\Scrivo.exe"), ReadFileText(media / "Scrivo.ex_"));
    EXPECT_EQ(ReadFileText(kDefaultFolder + "\\Scrivo(2.0.0.0).exe"), ReadFileText(older / "Scrivo.ex_"));
    EXPECT_NE(ReadFileText(log).find("keep a backup of the installed editor 2.0.0.0?"), std::string::npos);
    ASSERT_EQ(RunQuietly(kDefaultFolder + "\\uninstall.exe", "/S"), 0);
    EXPECT_FALSE(DirExists(kCompanyFolder));
}

// A standard user's quiet installation goes to their own places, and says so in the log.
TEST_F(Unattended, StandardUserInstallsQuietlyForThemselves) {
    std::string log = media / "user.log";
    ASSERT_EQ(RunQuietly(Seamed(), "/S /LOG=\"" + log + "\"", {"BRELLIC_TEST_NOT_ADMIN=1"}), 0);
    std::string text = ReadFileText(log);
    for (const char* expected : {"administrator: no", "registry root: HKEY_CURRENT_USER", "Yes, for this user"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    std::string folder = RegReadText(HKEY_CURRENT_USER, kProductKey, kSetupPathValue);
    EXPECT_NE(folder.find("\\AppData\\Local\\Programs\\Brellic Software\\Pagewright\\"), std::string::npos) << folder;
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(DirExists(kCompanyFolder));
    ASSERT_EQ(RunQuietly(folder + "uninstall.exe", "/S"), 0);
    EXPECT_FALSE(DirExists(folder));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kUninstallKey));
}

// Run by the full-drive host check, on a Wine drive of 1 MiB: a failed
// installation leaves nothing, a failed reinstallation the earlier one.
TEST_F(Unattended, AFullDriveFailsTheInstallationAndLeavesTheMachineAsItWas) {
    const char* drive = std::getenv("BRELLIC_SMALL_DRIVE");
    if (!drive)
        GTEST_SKIP() << "run by the engine_full_drive check";
    std::string folder = std::string(drive) + "\\Pagewright";
    std::map<std::string, std::string> before = MachineState();
    ASSERT_TRUE(WriteFileText(media / "BRLXCJK.BIN", std::string(2 << 20, 'x')));
    EXPECT_EQ(RunQuietly(Setup(), "/S /D=" + folder), 1603);
    EXPECT_FALSE(DirExists(folder));
    EXPECT_EQ(MachineState(), before) << Describe(before, MachineState());
    EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, kProductKey, kSetupPathValue), "<absent>");

    ScratchDir fitting("fitting-media");
    ASSERT_TRUE(CopyMedia(fitting.Path()));
    ASSERT_EQ(RunQuietly(fitting / "setup.exe", "/S /D=" + folder), 0);
    std::map<std::string, std::string> earlier;
    Collect(folder, "", earlier);
    ASSERT_TRUE(WriteFileText(media / "BRLXCJK.BIN", std::string(700 << 10, 'y')));
    EXPECT_EQ(RunQuietly(Setup(), "/S"), 1603);
    std::map<std::string, std::string> after;
    Collect(folder, "", after);
    EXPECT_EQ(after, earlier) << Describe(earlier, after);
    std::string log = media / "removal.log";
    // The uninstaller on another drive than the temporary folder still goes,
    // with its folder, once its first run has ended.
    EXPECT_EQ(RunQuietly(folder + "\\uninstall.exe", "/S /LOG=\"" + log + "\""), 0) << ReadFileText(log);
    EXPECT_TRUE(WaitFileGone(folder));
}
