#include <gtest/gtest.h>

#include "journey.h"

#include <shlobj.h>

#include "common/shell_folders.h"
#include "shell_window.h"

std::string ProgramFilesFolder() {
    char folder[MAX_PATH] = {};
    DWORD n = ::GetEnvironmentVariableA("ProgramFiles", folder, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(folder) : std::string("C:\\Program Files");
}

const std::string kDefaultFolder = ProgramFilesFolder() + "\\Brellic Software\\Pagewright";
const std::string kCompanyFolder = ProgramFilesFolder() + "\\Brellic Software";

ProductTraces ProductTraces::Now() {
    ProductTraces t;
    t.companyFolder = DirExists(kCompanyFolder);
    t.productKeyMachine = RegKeyExists(HKEY_LOCAL_MACHINE, kProductKey);
    t.productKeyUser = RegKeyExists(HKEY_CURRENT_USER, kProductKey);
    t.uninstallEntry =
        RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey) || RegKeyExists(HKEY_CURRENT_USER, kUninstallKey);
    t.startMenuGroup = DirExists(GroupFolder());
    t.desktopLink = FileExists(DesktopLink());
    return t;
}

std::string Describe(const ProductTraces& t) {
    std::string s;
    auto add = [&](bool v, const char* name) { s += std::string(name) + (v ? "=yes " : "=no "); };
    add(t.companyFolder, "company-folder");
    add(t.productKeyMachine, "product-key-HKLM");
    add(t.productKeyUser, "product-key-HKCU");
    add(t.uninstallEntry, "uninstall-entry");
    add(t.startMenuGroup, "start-menu-group");
    add(t.desktopLink, "desktop-link");
    return s;
}

void CleanMachine() {
    DeleteTree(kCompanyFolder);
    // A per-user installation's places.
    DeleteTree(GetSpecialFolderPath(CSIDL_LOCAL_APPDATA).str() + "\\Programs\\Brellic Software");
    DeleteTree(GetSpecialFolderPath(CSIDL_PROGRAMS).str() + "\\" + kGroupFolderName);
    DeleteTree(GroupFolder());
    DeleteTree(DesktopLink());
    DeleteTree(GetSpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY).str() + "\\Brellic Pagewright.lnk");
    ProductKeysGuard::Clean();
    // A removal folder an earlier journey's removal left (a known, rare leak
    // its own check reports) must not fail every journey after it.
    for (const std::string& folder : OwnTempFolders())
        DeleteTree(folder);
    RegDeleteTreeAll(HKEY_LOCAL_MACHINE, "Software\\Brellic Software");
    RegDeleteTreeAll(HKEY_CURRENT_USER, "Software\\Brellic Software");
}

void Journey::SetUp() {
    ProvideShellWindow();
    CloseEditors();
    CleanMachine();
    ASSERT_TRUE(CopyMedia(media.Path()));
}

void Journey::TearDown() {
    CloseEditors();
    CleanMachine();
}

bool Journey::InstallWithEditorRunning() {
    SetupRun first(media.Path());
    HWND finish = WalkToFinish(first);
    if (!finish)
        return false;
    Click(finish, IDOK);
    return first.WaitExit(30000) == 0 && ::FindWindowA(nullptr, kEditorWindowTitle);
}

HWND Journey::WalkToFinish(SetupRun& run, const std::string& shots) {
    WindowSource windows = WindowsOfProcess(run.Pid());
    auto step = [&](Page page, int button, const char* shot) -> bool {
        HWND hwnd = WaitForPage(windows, page);
        if (!hwnd)
            return false;
        if (!shots.empty()) {
            ::RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            Settle(300);  // let the other process finish painting before the picture
            SaveScreenshot(ScreenshotPath(shots + shot));
        }
        return ClickAndLeave(hwnd, button);
    };
    if (!step(Page::Welcome, IDOK, "-1-welcome") || !step(Page::Agreement, IDOK, "-2-agreement") ||
        !step(Page::InstallType, 1014, "-3-install-type") || !step(Page::Confirm, IDOK, "-4-confirm"))
        return nullptr;
    HWND finish = WaitForPage(windows, Page::Finish, 60000);
    if (finish && !shots.empty()) {
        Settle(300);
        SaveScreenshot(ScreenshotPath(shots + "-5-finish"));
    }
    return finish;
}

HWND Journey::WalkTo(SetupRun& run, Page target, bool custom) {
    WindowSource windows = WindowsOfProcess(run.Pid());
    struct Step {
        Page page;
        int button;
    } const path[] = {{Page::Welcome, IDOK},
                      {Page::Agreement, IDOK},
                      {Page::InstallType, custom ? 1015 : 1014},
                      {Page::Destination, IDOK},
                      {Page::Confirm, IDOK}};
    for (const Step& step : path) {
        if (step.page == Page::Destination && !custom)
            continue;
        HWND hwnd = WaitForPage(windows, step.page);
        if (!hwnd || step.page == target)
            return hwnd;
        if (!ClickAndLeave(hwnd, step.button))
            return nullptr;
    }
    return nullptr;
}

HWND Journey::ReinstallToConfirm(SetupRun& run) {
    HWND reinstall = WaitForBox(WindowsOfProcess(run.Pid()), "Do you want to reinstall it?");
    if (!reinstall)
        return nullptr;
    Answer(reinstall, IDYES);
    return WalkTo(run, Page::Confirm, false);
}

std::string Journey::RemoveThroughInstalledPrograms(bool removeBackups) {
    ChildProcess list("C:\\windows\\system32\\uninstaller.exe", "--remove \"Brellic Pagewright\"");
    if (!list.Started())
        return "<uninstaller did not start>";
    HWND confirm = WaitForBox(WindowsOfAllProcesses(), "Are you sure uninstall Brellic Pagewright?");
    if (!confirm)
        return "<no confirmation>";
    SaveScreenshot(ScreenshotPath("journey-removal-1-confirm"));
    Answer(confirm, IDYES);
    for (;;) {
        HWND box = WaitForBox(WindowsOfAllProcesses(), "Brellic Pagewright", 30000);
        if (!box)
            return "<no message after the confirmation>";
        std::string text = MessageBoxText(box);
        if (text.find("backup version") != std::string::npos) {
            Answer(box, removeBackups ? IDYES : IDNO);
            continue;
        }
        SaveScreenshot(ScreenshotPath("journey-removal-2-result"));
        Answer(box, IDOK);
        list.WaitExit(20000);
        return text;
    }
}
