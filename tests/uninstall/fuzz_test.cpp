// Many generated installation folders, as the removal run's argument and as
// "SetupPath": texts that name the test installation in some form, or reach
// other folders only through relative names, dots, gluing, devices or the
// system's own folders. No file outside the test installation may disappear.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "common/product_catalogue.h"
#include "common/text_rules.h"
#include "installation.h"
#include "setup/pages/destination_page.h"
#include "setup/pages/page_rules.h"
#include "test_uninstall_app.h"
#include "uninstall/uninstall_rules.h"

namespace {
std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

std::string ShortForm(const std::string& path) {
    char out[MAX_PATH] = {};
    return ::GetShortPathNameA(path.c_str(), out, MAX_PATH) ? out : path;
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
    std::vector<std::string> Missing() const {
        std::vector<std::string> missing;
        for (const std::string& path : m_watched)
            if (!FileExists(path))
                missing.push_back(path);
        return missing;
    }
    size_t Count() const { return m_watched.size(); }

private:
    std::vector<std::string> m_made;
    std::vector<std::string> m_watched;
};

const char* const kPrefixes[] = {"", "\"", " ", "\"\""};
const char* const kSuffixes[] = {"", "\\", " ", "\"", "\\\"", ".", "\\.", "\\..", "\t", "\\\\", "\" x"};

// Folder texts that name the test installation in some form, or reach other
// folders through relative names, dots, gluing, devices or the system's own folders.
std::vector<std::string> FolderTexts(const TestInstallation& inst) {
    std::string dir = inst.Dir();
    std::string dirNoSlash = dir.substr(0, dir.size() - 1);
    std::string windows = WindowsFolderPath();
    std::string system = SystemFolderPath();
    std::string temp = TempFolderPath();
    std::string slashes = dir;
    for (char& c : slashes)
        if (c == '\\')
            c = '/';
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
        system,
        windows + "Fonts",
        temp,
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

}  // namespace

TEST(BadInputFuzz, NoFileOutsideTheInstallationFolderEverDisappears) {
    TestInstallation inst;
    inst.Populate();
    std::string dir = inst.Dir();
    std::string vendor = WithSlash(inst.VendorDir());

    ScratchDir cwd("cwd");
    ::CreateDirectoryA((cwd / "Pagewright").c_str(), nullptr);
    ::CreateDirectoryA((vendor + "Pagewright2").c_str(), nullptr);
    Sentinels sentinels;
    sentinels.PlaceIn(cwd.Path());
    sentinels.PlaceIn(cwd / "Pagewright");
    sentinels.PlaceIn(vendor);
    sentinels.PlaceIn(vendor, "Pagewright");  // "C:\App" + "Scrivo.exe"
    sentinels.PlaceIn(vendor + "Pagewright2");
    sentinels.PlaceIn(inst.Scratch().Path());
    std::string windows = WindowsFolderPath();
    std::string system = SystemFolderPath();
    std::string temp = TempFolderPath();
    for (const std::string& folder : {std::string("C:\\"), windows, system, temp, ShellFolderPath(CSIDL_PROFILE),
                                      ShellFolderPath(CSIDL_PROGRAM_FILES), ShellFolderPath(CSIDL_DESKTOPDIRECTORY)})
        sentinels.PlaceIn(folder);
    ScopedCurrentFolder here(cwd.Path());

    const std::vector<std::string> bases = FolderTexts(inst);
    int accepted = 0, refused = 0, cases = 0;
    for (bool asSetupPath : {false, true}) {
        for (const std::string& base : bases) {
            for (const char* prefix : kPrefixes) {
                for (const char* suffix : kSuffixes) {
                    std::string text = prefix + base + suffix;
                    ++cases;
                    if (inst.RemainingFiles().size() != InstalledNames().size()) {
                        ::CreateDirectoryA(inst.VendorDir().c_str(), nullptr);
                        ::CreateDirectoryA(dir.c_str(), nullptr);
                        inst.Populate();
                    }
                    RegDeleteTreeAll(HKEY_LOCAL_MACHINE, kProductKey);
                    if (asSetupPath)
                        RegWriteRaw(HKEY_LOCAL_MACHINE, kProductKey, "SetupPath", REG_SZ, text.c_str(),
                                    static_cast<DWORD>(text.size() + 1));
                    TestUninstallApp app(asSetupPath ? "" : text);
                    app.RunRemoval();
                    if (app.selfDeletions)
                        ++accepted;
                    else
                        ++refused;
                    std::vector<std::string> missing = sentinels.Missing();
                    ASSERT_TRUE(missing.empty())
                        << (asSetupPath ? "SetupPath [" : "argument [") << text << "] deleted " << missing.front();
                }
            }
        }
    }
    EXPECT_GT(sentinels.Count(), 100u);
    EXPECT_GT(accepted, 10) << cases;
    EXPECT_GT(refused, cases / 2);
}

// Setup must never install where the uninstaller will refuse to remove from:
// whatever the destination page accepts, typed or browsed, the uninstaller
// accepts as its argument and as "SetupPath".
TEST(BadInputFuzz, EveryFolderTheDestinationPageAcceptsTheUninstallerAccepts) {
    TestInstallation inst;
    std::vector<std::string> texts;
    for (const std::string& base : FolderTexts(inst)) {
        for (const char* prefix : kPrefixes)
            for (const char* suffix : kSuffixes)
                texts.push_back(prefix + base + suffix);
        std::string slashes = base, doubled, upper = base, lower = base;
        for (char& c : slashes)
            c = c == '\\' ? '/' : c;
        for (char c : base)
            doubled += c == '\\' ? std::string("\\\\") : std::string(1, c);
        for (char& c : upper)
            c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
        for (char& c : lower)
            c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
        for (const std::string& variant : {slashes, doubled, upper, lower, WithSlash(base) + "x\\..\\Pagewright",
                                           WithSlash(base) + "Pagewright.", WithSlash(base) + "Pagewright\\\\x"})
            texts.push_back(variant);
    }
    for (const char* root : {"C:", "c:", "C:\\", "C:/", "C:\\\\", "C:.", "Z:\\", "\\\\server\\share"}) {
        texts.push_back(root);
        texts.push_back(std::string(root) + "Pagewright");
        texts.push_back(std::string(root) + "/Pagewright");
    }

    int accepted = 0;
    for (const std::string& text : texts) {
        CString browsed = BrowsedInstallDir(text.c_str());
        const struct {
            bool accepted;
            CString stored;
        } ways[] = {
            {IsDestinationAccepted(text.c_str()), WithTrailingBackslash(text.c_str())},
            {FolderFitsInstalledFiles(browsed) && IsRemovableInstallFolder(browsed), browsed},
        };
        for (const auto& way : ways) {
            if (!way.accepted)
                continue;
            ++accepted;
            TestUninstallApp app;
            EXPECT_TRUE(app.AcceptInstallFolder(InstallFolderArgument(way.stored))) << "[" << text << "]";
            EXPECT_TRUE(app.AcceptInstallFolder(InstallFolderFromSetupPath(way.stored))) << "[" << text << "]";
        }
    }
    EXPECT_GT(accepted, 20) << texts.size();

    // Ordinary folders are accepted as before.
    for (const char* ordinary : {"C:\\Program Files\\Brellic Software\\Pagewright\\", "C:\\Tools",
                                 "C:\\My Tools\\Page wright", "C:\\Programme\\Br\xe4llic \xc9" "diteur"})
        EXPECT_TRUE(IsDestinationAccepted(ordinary)) << ordinary;
}
