// Generated installation folders, as the removal run's argument, as "SetupPath"
// and as typed or browsed on the destination page: texts that name the test
// installation in some form, or reach other folders through relative names,
// dots, gluing, devices or the system's own folders.
//
// Three layers, cheapest first: the folder rule on many generated texts against
// one snapshot of the system's folders; the real removal for each distinct
// accepted folder and some refused ones, with files planted where nothing may
// be deleted; and the real uninstaller on a few bad folders.
//
// The cases are drawn from a fixed seed, printed with every failure;
// BRELLIC_FUZZ_SEED=n draws others, and BRELLIC_FUZZ_LONG=1 runs the full sweep.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/install_folder_guard.h"
#include "common/text_rules.h"
#include "framework/scoped_handles.h"
#include "installation.h"
#include "setup/pages/destination_page.h"
#include "setup/pages/page_rules.h"
#include "test_paths.h"
#include "test_uninstall_app.h"
#include "ui_driver.h"
#include "uninstall/uninstall_rules.h"

namespace {
struct FuzzPlan {
    unsigned seed = 20261209;
    bool sweep = false;
    int randomCases = 3000;
    DWORD randomBudgetMs = 20000;  // a slow machine runs fewer cases rather than time out
    size_t acceptedRemovals = 40;  // drawn ones, beside every fixed case the rule accepts
    size_t refusedRemovals = 12;
};

FuzzPlan Plan() {
    FuzzPlan plan;
    if (const char* seed = std::getenv("BRELLIC_FUZZ_SEED"); seed && *seed)
        plan.seed = static_cast<unsigned>(std::strtoul(seed, nullptr, 10));
    if (const char* sweep = std::getenv("BRELLIC_FUZZ_LONG"); sweep && *sweep == '1') {
        plan.sweep = true;
        plan.randomCases = 100000;
        plan.randomBudgetMs = 600000;
        plan.acceptedRemovals = 2000;
        plan.refusedRemovals = 200;
    }
    return plan;
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

std::string ShortForm(const std::string& path) {
    char out[MAX_PATH] = {};
    return ::GetShortPathNameA(path.c_str(), out, MAX_PATH) ? out : path;
}

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The full path the system makes of a folder text: made absolute against the
// current folder, dots and trailing blanks dropped. Asked of the system, not of
// the rule under test.
std::string FullPath(const std::string& folder) {
    char full[MAX_PATH * 2] = {};
    DWORD n = ::GetFullPathNameA(folder.c_str(), sizeof full, full, nullptr);
    return n && n < sizeof full ? Upper(WithSlash(full)) : "";
}

// Where a folder text leads: its full path with the short names of its
// existing part expanded.
std::string WhereItLeads(const std::string& folder) {
    std::string existing = FullPath(folder), rest;
    while (!existing.empty()) {
        char longer[MAX_PATH * 2] = {};
        DWORD n = ::GetLongPathNameA(existing.c_str(), longer, sizeof longer);
        if (n && n < sizeof longer)
            return Upper(WithSlash(longer)) + rest;
        size_t cut = existing.find_last_of('\\', existing.size() - 2);
        if (cut == std::string::npos)
            break;
        rest = existing.substr(cut + 1) + rest;
        existing.resize(cut + 1);
    }
    return FullPath(folder);
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// A generated text, and whether an accepted one must lead into the scratch
// area (texts built on a bare drive may name any ordinary folder).
struct FolderCase {
    std::string text;
    bool staysInScratch = true;
    bool drawn = false;  // a random one, rather than one of the fixed cases
};

const char* const kPrefixes[] = {"", "\"", " ", "\"\""};
const char* const kSuffixes[] = {"", "\\", " ", "\"", "\\\"", ".", "\\.", "\\..", "\t", "\\\\", "\" x"};
// Pieces a random tail is made of: separators, dots, blanks, short-name marks
// and plain letters, which the rule may accept; quotes, stream and device
// marks and wildcards, which it must not.
const char* const kPlainPieces[] = {"\\", ".", "..", " ", "x", "Pagewright", "\\..\\", "\\.\\", "\\x", "~1", "\xe9"};
const char* const kOddPieces[] = {"/", "\"", ":", "::$DATA", "*", "?", "\t", "\x01", "\\\\", "<", "|"};

// Texts that name the test installation in some form, or reach other folders
// through relative names, dots, gluing, devices or the system's own folders.
std::vector<std::string> FolderTexts(const TestInstallation& inst) {
    std::string dir = inst.Dir();
    std::string dirNoSlash = dir.substr(0, dir.size() - 1);
    std::string windows = WindowsFolderPath();
    std::string slashes = dir;
    std::replace(slashes.begin(), slashes.end(), '\\', '/');
    return {
        dir,
        dirNoSlash,
        ShortForm(dir),
        "Pagewright\\",
        "Pagewright",
        ".\\",
        "..\\",
        "",
        "C:\\",
        "C:",
        "C:.",
        "\\",
        "\\\\",
        "\\\\localhost\\C$\\",
        windows,
        SystemFolderPath(),
        windows + "Fonts",
        TempFolderPath(),
        ShellFolderPath(CSIDL_PROFILE),
        ShellFolderPath(CSIDL_PROGRAM_FILES),
        ShortForm(ShellFolderPath(CSIDL_PROGRAM_FILES)),
        dir + "..\\",
        dir + "..\\..",
        dir + ".\\",
        dir + "x\\..\\..",
        slashes,
        "\\\\?\\" + dir,
        "\\\\.\\" + dir,
        dir + "*",
        dir + std::string(300, 'x'),
        dirNoSlash + ".",
        dir + "\x01",
        "'" + dir + "'",
    };
}

// The fixed cases (every base with every prefix and suffix, and spelling
// variants), then random tails after the installation folder's forms.
std::vector<FolderCase> GenerateCases(const TestInstallation& inst, const FuzzPlan& plan, std::mt19937& random) {
    std::vector<FolderCase> cases;
    const std::vector<std::string> bases = FolderTexts(inst);
    for (const std::string& base : bases) {
        for (const char* prefix : kPrefixes)
            for (const char* suffix : kSuffixes)
                cases.push_back({prefix + base + suffix});
        std::string slashes = base, doubled;
        std::replace(slashes.begin(), slashes.end(), '\\', '/');
        for (char c : base)
            doubled += c == '\\' ? std::string("\\\\") : std::string(1, c);
        for (const std::string& variant : {slashes, doubled, Upper(base), WithSlash(base) + "x\\..\\Pagewright",
                                           WithSlash(base) + "Pagewright.", WithSlash(base) + "Pagewright\\\\x"})
            cases.push_back({variant});
    }
    for (const char* root : {"C:", "c:", "C:\\", "C:/", "C:\\\\", "C:.", "Z:\\", "\\\\server\\share"}) {
        cases.push_back({root, false});
        cases.push_back({std::string(root) + "Pagewright", false});
        cases.push_back({std::string(root) + "/Pagewright", false});
    }
    for (const char* ordinary :
         {"C:\\Program Files\\Brellic Software\\Pagewright\\", "C:\\Tools", "C:\\My Tools\\Page wright",
          "C:\\Programme\\Br\xe4llic \xc9"
          "diteur"})
        cases.push_back({ordinary, false});

    std::string dir = inst.Dir();
    const std::string forms[] = {dir, dir.substr(0, dir.size() - 1), ShortForm(dir), Upper(dir)};
    auto pick = [&random](auto& list) -> decltype(auto) {
        return list[std::uniform_int_distribution<size_t>(0, std::size(list) - 1)(random)];
    };
    DWORD start = ::GetTickCount();
    for (int i = 0; i < plan.randomCases && ::GetTickCount() - start < plan.randomBudgetMs; ++i) {
        std::string tail;
        bool odd = i % 2 == 1;
        for (int pieces = std::uniform_int_distribution<int>(1, 4)(random); pieces > 0; --pieces)
            tail += odd && random() % 3 == 0 ? pick(kOddPieces) : pick(kPlainPieces);
        cases.push_back({std::string(pick(kPrefixes)) + pick(forms) + tail + pick(kSuffixes), true, true});
    }
    return cases;
}

// Files the uninstaller would delete, placed where it must never delete them.
// Files that already existed are only watched; those made here go at the end.
class Sentinels {
public:
    void PlaceIn(const std::string& folder, const std::string& glue = "") {
        std::vector<std::string> names = InstalledNames();
        names.push_back("Scrivo(9.0.0.0).exe");
        for (const std::string& name : names) {
            std::string path = WithSlash(folder) + glue + name;
            if (!FileExists(path)) {
                if (!WriteFileText(path, "sentinel"))
                    continue;
                m_made.push_back(path);
            }
            m_watched.push_back(path);
        }
    }
    ~Sentinels() {
        for (const std::string& path : m_made)
            ::DeleteFileA(path.c_str());
    }
    std::string FirstMissing() const {
        for (const std::string& path : m_watched)
            if (!FileExists(path))
                return path;
        return "";
    }
    size_t Count() const { return m_watched.size(); }

private:
    std::vector<std::string> m_made;
    std::vector<std::string> m_watched;
};

// The test installation, files planted around it, and a current folder of
// their own so that relative names have a target.
class FuzzFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_random.seed(m_plan.seed);
        m_inst.Populate();
        std::string vendor = WithSlash(m_inst.VendorDir());
        ::CreateDirectoryA((m_cwd / "Pagewright").c_str(), nullptr);
        ::CreateDirectoryA((vendor + "Pagewright2").c_str(), nullptr);
        m_sentinels.PlaceIn(m_cwd.Path());
        m_sentinels.PlaceIn(m_cwd / "Pagewright");
        m_sentinels.PlaceIn(vendor);
        m_sentinels.PlaceIn(vendor, "Pagewright");  // "C:\App" + "Scrivo.exe"
        m_sentinels.PlaceIn(vendor + "Pagewright2");
        m_sentinels.PlaceIn(m_inst.Scratch().Path());
        for (const std::string& folder :
             {std::string("C:\\"), WindowsFolderPath(), SystemFolderPath(), TempFolderPath(),
              ShellFolderPath(CSIDL_PROFILE), ShellFolderPath(CSIDL_PROGRAM_FILES),
              ShellFolderPath(CSIDL_DESKTOPDIRECTORY)})
            m_sentinels.PlaceIn(folder);
        ASSERT_GT(m_sentinels.Count(), 100u);
        m_here = std::make_unique<ScopedCurrentFolder>(m_cwd.Path());
        m_cases = GenerateCases(m_inst, m_plan, m_random);
    }
    void TearDown() override { m_here.reset(); }

    std::string SeedNote() const { return "seed " + std::to_string(m_plan.seed) + " (BRELLIC_FUZZ_SEED to repeat)"; }

    // After a removal took the installation: the folders and files again.
    void RestoreInstallation() {
        if (m_inst.RemainingFiles().size() == InstalledNames().size())
            return;
        ::CreateDirectoryA(m_inst.VendorDir().c_str(), nullptr);
        ::CreateDirectoryA(m_inst.Dir().c_str(), nullptr);
        m_inst.Populate();
    }

    FuzzPlan m_plan = Plan();
    std::mt19937 m_random;
    TestInstallation m_inst;
    ScratchDir m_cwd{"cwd"};
    Sentinels m_sentinels;
    std::unique_ptr<ScopedCurrentFolder> m_here;
    std::vector<FolderCase> m_cases;
};

// What the rule decides, for the page and for the uninstaller, on every
// generated text: whatever either accepts means what it says and stays where
// the installation is, and both accept the same folders.
TEST_F(FuzzFixture, FolderRuleAcceptsOnlyWhatLeadsToTheInstallationAndPageAndUninstallerAgree) {
    SCOPED_TRACE(SeedNote());
    const SystemFolders system = CurrentSystemFolders();
    const std::string installation = WhereItLeads(m_inst.Dir());
    const std::string scratch = WhereItLeads(m_inst.Scratch().Path());
    auto uninstallerAccepts = [&](const CString& folder) {
        return CheckInstallFolder(folder, system) == FolderProblem::None;
    };
    // An accepted folder is the installation, or an ordinary folder below the
    // scratch area that the text names as it stands.
    auto expectLeadsToInstallation = [&](const std::string& folder, const FolderCase& c, const char* way) {
        if (!c.staysInScratch)
            return;
        std::string where = WhereItLeads(folder);
        bool namesItself = FullPath(folder) == Upper(WithSlash(folder));
        EXPECT_TRUE(where == installation || (namesItself && StartsWith(where, scratch)))
            << way << " accepted [" << c.text << "], which leads to " << where;
    };

    int accepted = 0, agreed = 0;
    for (const FolderCase& c : m_cases) {
        CString text = c.text.c_str();
        CString argument = InstallFolderArgument(TrimmedLeft(text));
        if (uninstallerAccepts(argument)) {
            ++accepted;
            expectLeadsToInstallation(argument.c_str(), c, "argument");
        }
        CString setupPath = InstallFolderFromSetupPath(text);
        bool setupPathAccepted = uninstallerAccepts(setupPath);
        if (setupPathAccepted)
            expectLeadsToInstallation(setupPath.c_str(), c, "SetupPath");

        // What setup records from the page, the uninstaller takes both ways.
        bool typed = IsDestinationAccepted(text, system);
        if (typed) {
            CString stored = WithTrailingBackslash(text);
            EXPECT_TRUE(uninstallerAccepts(InstallFolderArgument(stored))) << "typed [" << c.text << "]";
            EXPECT_TRUE(uninstallerAccepts(InstallFolderFromSetupPath(stored))) << "typed [" << c.text << "]";
        }
        CString browsed = BrowsedInstallDir(text);
        if (IsBrowsedFolderAccepted(browsed, system)) {
            EXPECT_TRUE(uninstallerAccepts(InstallFolderArgument(browsed))) << "browsed [" << c.text << "]";
            EXPECT_TRUE(uninstallerAccepts(InstallFolderFromSetupPath(browsed))) << "browsed [" << c.text << "]";
        }
        // And the other way: where the page finds the drive and the name fits,
        // it accepts exactly what the uninstaller accepts.
        CString probe = DestinationProbePattern(text);
        WIN32_FIND_DATAA found;
        ScopedFindHandle drive(probe.IsEmpty() ? INVALID_HANDLE_VALUE : ::FindFirstFileA(probe, &found));
        if (drive.IsValid()) {
            ++agreed;
            EXPECT_EQ(typed, setupPathAccepted) << "[" << c.text << "]";
        }
    }
    std::printf("%zu texts, %d accepted, %d compared with the page; %s\n", m_cases.size(), accepted, agreed,
                SeedNote().c_str());
    EXPECT_GT(accepted, 20);
    EXPECT_GT(agreed, 100);
    for (const char* ordinary : {"C:\\Tools", "C:\\My Tools\\Page wright"})
        EXPECT_TRUE(IsDestinationAccepted(ordinary, system)) << ordinary;
}

// The real removal for each distinct accepted folder and some refused ones:
// no planted file ever disappears, an accepted installation folder is emptied
// and a refused one is left whole.
TEST_F(FuzzFixture, NoFileOutsideTheInstallationFolderEverDisappears) {
    SCOPED_TRACE(SeedNote());
    const SystemFolders system = CurrentSystemFolders();
    const std::string installation = WhereItLeads(m_inst.Dir());
    // Each text once, given one way or the other by turns.
    struct Removal {
        std::string text;
        bool asSetupPath;
        CString folder;  // what the removal run is left with
    };
    std::vector<Removal> accepted, drawnAccepted, refused;
    std::set<std::pair<std::string, bool>> seen;
    for (const FolderCase& c : m_cases) {
        if (!c.staysInScratch)
            continue;
        // The fixed cases both ways; the drawn ones one way or the other.
        for (bool asSetupPath : {false, true}) {
            if ((c.drawn && asSetupPath != (seen.size() % 2 == 0)) || !seen.insert({c.text, asSetupPath}).second)
                continue;
            CString text = c.text.c_str();
            CString folder = asSetupPath ? InstallFolderFromSetupPath(text) : InstallFolderArgument(TrimmedLeft(text));
            bool ok = CheckInstallFolder(folder, system) == FolderProblem::None;
            (ok ? (c.drawn ? drawnAccepted : accepted) : refused).push_back({c.text, asSetupPath, folder});
        }
    }
    std::shuffle(drawnAccepted.begin(), drawnAccepted.end(), m_random);
    std::shuffle(refused.begin(), refused.end(), m_random);
    drawnAccepted.resize(std::min(drawnAccepted.size(), m_plan.acceptedRemovals));
    refused.resize(std::min(refused.size(), m_plan.refusedRemovals));
    accepted.insert(accepted.end(), drawnAccepted.begin(), drawnAccepted.end());
    ASSERT_GT(accepted.size(), 5u);

    int emptied = 0;
    for (const auto* list : {&accepted, &refused}) {
        for (const Removal& removal : *list) {
            RestoreInstallation();
            bool takesInstallation = WhereItLeads(removal.folder.c_str()) == installation;
            RegDeleteTreeAll(HKEY_LOCAL_MACHINE, kProductKey);
            if (removal.asSetupPath)
                RegWriteRaw(HKEY_LOCAL_MACHINE, kProductKey, "SetupPath", REG_SZ, removal.text.c_str(),
                            static_cast<DWORD>(removal.text.size() + 1));
            TestUninstallApp app(removal.asSetupPath ? "" : removal.text);
            app.RunRemoval();
            std::string how = (removal.asSetupPath ? "SetupPath [" : "argument [") + removal.text + "]";
            ASSERT_EQ(m_sentinels.FirstMissing(), "") << how << " deleted it";
            if (list == &refused) {
                EXPECT_EQ(m_inst.RemainingFiles().size(), InstalledNames().size()) << "refused " << how;
            } else if (takesInstallation) {
                ++emptied;
                EXPECT_TRUE(m_inst.RemainingFiles().empty()) << "accepted " << how;
            }
        }
    }
    std::printf("%zu removals accepted (%d of the installation), %zu refused\n", accepted.size(), emptied,
                refused.size());
    EXPECT_GT(emptied, 3);
}

// The real uninstaller, both runs, unattended, on folders that must be
// refused: it fails with 1603 and nothing is deleted.
TEST_F(FuzzFixture, TheUninstallerRefusesBadFoldersAsAWholeProgram) {
    TempCopyGuard copies;
    m_inst.Register();
    const std::string dir = m_inst.Dir();
    struct Run {
        const char* label;
        std::string setupPath;  // the first run reads it
        std::string argument;   // given to the removal run's copy instead
    } runs[] = {
        {"SetupPath above the installation", dir + "..\\", ""},
        {"SetupPath relative to the current folder", "Pagewright\\", ""},
        {"removal run's argument up and out", "", ShortForm(dir) + "x\\..\\.."},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.label);
        int code = -1;
        if (run.argument.empty()) {
            RegWriteRaw(HKEY_LOCAL_MACHINE, kProductKey, "SetupPath", REG_SZ, run.setupPath.c_str(),
                        static_cast<DWORD>(run.setupPath.size() + 1));
            ChildProcess first(m_inst.Path("uninstall.exe"), "/S", m_cwd.Path());
            code = first.WaitExit(30000);
        } else {
            std::string copy = TempCopyIn(NewOwnTempFolder());
            ASSERT_TRUE(CopyOneFile(TEST_MEDIA_DIR "\\uninstall.ex_", copy));
            ChildProcess removal(copy, "/S " + run.argument, m_cwd.Path());
            code = removal.WaitExit(30000);
        }
        EXPECT_EQ(code, 1603);
        EXPECT_EQ(m_sentinels.FirstMissing(), "");
        EXPECT_EQ(m_inst.RemainingFiles().size(), InstalledNames().size());
        EXPECT_TRUE(WaitOwnTempFoldersGone());
    }
}
}  // namespace
