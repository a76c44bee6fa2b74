// A test installation of the editor as setup leaves it: the installed files in
// a scratch folder, the product key and uninstall entry, and the shortcuts.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "test_fs.h"
#include "test_places.h"
#include "test_registry.h"

class TestInstallation {
public:
    // The installation folder is <scratch>\<vendor>\<name>\; the scratch folder
    // holds a marker file so that the upward folder removal stops below it.
    explicit TestInstallation(const std::string& name = "Pagewright", const std::string& vendor = "Brellic Software");
    ~TestInstallation();  // the shortcuts go; the keys and folders go with their guards
    TestInstallation(const TestInstallation&) = delete;
    TestInstallation& operator=(const TestInstallation&) = delete;

    // Installed files under their installed names (media files where the media
    // has them, small placeholders for the rest).
    void Populate();
    // "SetupPath" (and the informational values) under the root, the uninstall entry under HKLM.
    void Register(HKEY root = HKEY_LOCAL_MACHINE);
    // The group's links and the desktop link, as plain files with the link names.
    void CreateShortcuts();

    // With trailing backslash.
    const std::string& Dir() const { return m_dir; }
    std::string Path(const std::string& name) const { return m_dir + name; }
    std::string VendorDir() const { return m_scratch.Path() + "\\" + m_vendor; }
    const ScratchDir& Scratch() const { return m_scratch; }

    // Installed names still present.
    std::vector<std::string> RemainingFiles() const;
    bool ShortcutsPresent() const;
    bool ShortcutsGone() const;

private:
    ProductKeysGuard m_keys;
    ScratchDir m_scratch;
    std::string m_vendor;
    std::string m_dir;
};

// The product's link files in its group folder.
std::vector<std::string> GroupLinks();

// A new folder of a removal run, as a first run makes it; the path of the copy in it.
std::string NewOwnTempFolder();
std::string TempCopyIn(const std::string& folder);
// The copy in the one removal run's folder there is; empty when there is not exactly one.
std::string TempCopyPath();
// The folder the removal runs once used; left alone by them now.
std::string OldFixedTempFolder();

// Deletes the removal runs' folders before and after a test, waiting while a
// copy started by an earlier step still holds one.
class TempCopyGuard {
public:
    TempCopyGuard();
    ~TempCopyGuard();
    TempCopyGuard(const TempCopyGuard&) = delete;
    TempCopyGuard& operator=(const TempCopyGuard&) = delete;
};

// Names of the installed files, in the uninstaller's order.
std::vector<std::string> InstalledNames();

// Runs the test with another current folder, so relative names have a target.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::string& folder);
    ~ScopedCurrentFolder();
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

private:
    char m_saved[MAX_PATH] = {};
};
