#include "installation.h"

#include <cstdio>

#include "common/product_catalogue.h"
#include "common/shell_folders.h"
#include "test_paths.h"
#include "ui_driver.h"
#include "uninstall/uninstall_rules.h"

namespace {
// Installed name -> media name, for the files the media carries.
const struct {
    const char* installed;
    const char* media;
} kFromMedia[] = {
    {"Scrivo.exe", "Scrivo.ex_"},   {"uninstall.exe", "uninstall.ex_"},     {"leafview.exe", "leafview.ex_"},
    {"GDIPlus.dll", "GDIPlus.dl_"}, {"msimg32.dll", "msimg32.dl_"},         {"mscms.dll", "mscms.dl_"},
    {"readme.txt", "readme.txt"},   {"what's new.txt", "what's new.txt"},   {"Known Issues.txt", "Known Issues.txt"},
    {"BRLXCJK.BIN", "BRLXCJK.BIN"}, {"scrivoguide.pdf", "scrivoguide.pdf"},
};

const char* MediaNameOf(const std::string& installed) {
    for (const auto& entry : kFromMedia)
        if (installed == entry.installed)
            return entry.media;
    return nullptr;
}
}  // namespace

// An installation by an earlier setup, without a record: the names of the
// fixed list that these media install.
std::vector<std::string> InstalledNames() {
    std::vector<std::string> names;
    for (const char* name : kInstalledFileNames)
        for (const ProductFile& file : kProductFiles)
            if (std::string(file.installedName) == name)
                names.push_back(name);
    return names;
}

TestInstallation::TestInstallation(const std::string& name, const std::string& vendor)
    : m_scratch("inst"), m_vendor(vendor) {
    WriteFileText(m_scratch / "keep-scratch.txt", "marker");
    ::CreateDirectoryA(VendorDir().c_str(), nullptr);
    m_dir = VendorDir() + "\\" + name + "\\";
    ::CreateDirectoryA(m_dir.c_str(), nullptr);
}

TestInstallation::~TestInstallation() {
    DeleteTree(GroupFolder());
    ::DeleteFileA(DesktopLink().c_str());
}

void TestInstallation::Populate() {
    for (const std::string& name : InstalledNames()) {
        const char* media = MediaNameOf(name);
        if (media)
            CopyOneFile(std::string(TEST_MEDIA_DIR) + "\\" + media, Path(name));
        else
            WriteFileText(Path(name), "installed " + name);
    }
}

void TestInstallation::Register(HKEY root) {
    auto text = [](HKEY r, const char* key, const char* name, const std::string& value) {
        RegWriteRaw(r, key, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
    };
    text(root, kProductKey, "SetupPath", m_dir);
    text(root, kProductKey, "version", "2.1.0.0");
    DWORD count = 15;
    RegWriteRaw(root, kProductKey, "nCopyedFile", REG_DWORD, &count, sizeof count);
    std::string uninstaller = m_dir + "uninstall.exe";
    text(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", uninstaller);
    text(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "Brellic Pagewright");
    text(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon", uninstaller);
    text(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallPath", uninstaller);
}

std::vector<std::string> GroupLinks() {
    std::string group = GroupFolder();
    return {group + "\\Brellic Pagewright.lnk", group + "\\Uninstall.lnk", group + "\\Brellic Leafview.lnk",
            group + "\\Brellic Pagewright User Manual.lnk"};
}

void TestInstallation::CreateShortcuts() {
    ::CreateDirectoryA(GroupFolder().c_str(), nullptr);
    for (const std::string& link : GroupLinks())
        WriteFileText(link, "link");
    WriteFileText(DesktopLink(), "link");
}

bool TestInstallation::ShortcutsPresent() const {
    for (const std::string& link : GroupLinks())
        if (!FileExists(link))
            return false;
    return FileExists(DesktopLink());
}

bool TestInstallation::ShortcutsGone() const {
    return !DirExists(GroupFolder()) && !FileExists(DesktopLink());
}

std::vector<std::string> TestInstallation::RemainingFiles() const {
    std::vector<std::string> remaining;
    for (const std::string& name : InstalledNames())
        if (FileExists(Path(name)))
            remaining.push_back(name);
    return remaining;
}

ScopedCurrentFolder::ScopedCurrentFolder(const std::string& folder) {
    ::GetCurrentDirectoryA(MAX_PATH, m_saved);
    ::SetCurrentDirectoryA(folder.c_str());
}

ScopedCurrentFolder::~ScopedCurrentFolder() {
    ::SetCurrentDirectoryA(m_saved);
}

std::string NewOwnTempFolder() {
    static unsigned counter = 0;
    char name[64];
    std::snprintf(name, sizeof name, "Brellic Pagewright-%08lx%08x", ::GetCurrentProcessId(), ++counter);
    std::string folder = TempFolderPath() + name;
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string TempCopyIn(const std::string& folder) {
    return folder + "\\Uninstall.exe";
}

std::string TempCopyPath() {
    std::vector<std::string> folders = OwnTempFolders();
    return folders.size() == 1 ? TempCopyIn(folders[0]) : std::string();
}

std::string OldFixedTempFolder() {
    return TempFolderPath() + "Brellic Pagewright";
}

// The interpreter a removal run leaves behind goes on deleting "Uninstall.exe"
// for some seconds; it must not take the next test's copy.
TempCopyGuard::TempCopyGuard() {
    WaitProcessesEnded("cmd.exe");
    for (const std::string& folder : OwnTempFolders())
        DeleteTree(folder);
}

TempCopyGuard::~TempCopyGuard() {
    // A copy that is just ending may hold its file a little longer.
    WaitUntil(
        [] {
            for (const std::string& folder : OwnTempFolders())
                DeleteTree(folder);
            return OwnTempFolders().empty();
        },
        5000);
    WaitProcessesEnded("cmd.exe");
}
