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
#include "installation.h"
#include "test_uninstall_app.h"

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

}  // namespace

TEST(BadInputFuzz, NoFileOutsideTheInstallationFolderEverDisappears) {
    TestInstallation inst;
    inst.Populate();
    std::string dir = inst.Dir();
    std::string dirNoSlash = dir.substr(0, dir.size() - 1);
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

    std::string slashes = dir;
    for (char& c : slashes)
        if (c == '\\')
            c = '/';
    const std::vector<std::string> bases = {
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
    const char* prefixes[] = {"", "\"", " ", "\"\""};
    const char* suffixes[] = {"", "\\", " ", "\"", "\\\"", ".", "\\.", "\\..", "\t", "\\\\", "\" x"};

    int accepted = 0, refused = 0, cases = 0;
    for (bool asSetupPath : {false, true}) {
        for (const std::string& base : bases) {
            for (const char* prefix : prefixes) {
                for (const char* suffix : suffixes) {
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
