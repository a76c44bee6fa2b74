// Whole journeys through the real programs: setup.exe from a copy of the media,
// walked page by page, and uninstall.exe started the way the system starts it.
#pragma once
#include <string>

#include "common/product_catalogue.h"
#include "screenshot.h"
#include "test_places.h"
#include "test_registry.h"
#include "ui_driver.h"
#include "wizard_driver.h"

// The program-files folder as this process sees it: a 32-bit build on 64-bit
// Windows sees "Program Files (x86)", exactly as setup does.
std::string ProgramFilesFolder();
extern const std::string kDefaultFolder;
extern const std::string kCompanyFolder;

// What the machine holds of the product; compared before and after a journey.
struct ProductTraces {
    bool companyFolder = false;
    bool productKeyMachine = false;
    bool productKeyUser = false;
    bool uninstallEntry = false;
    bool startMenuGroup = false;
    bool desktopLink = false;
    bool operator==(const ProductTraces&) const = default;
    static ProductTraces Now();
};
std::string Describe(const ProductTraces& t);

// The group folder under the name the unattended journeys know it by.
inline std::string ProgramsGroup() {
    return GroupFolder();
}

// Removes every trace of an earlier journey.
void CleanMachine();

class Journey : public ::testing::Test {
protected:
    ScratchDir media{"journey-media"};
    void SetUp() override;
    void TearDown() override;
    // Walks from the welcome page (after any start-up question) to the target
    // page, by Default or by Custom, and leaves it open; null when a page did not come.
    static HWND WalkTo(SetupRun& run, Page target, bool custom);
    // Answers Yes to the reinstall question and walks by Default to the confirmation page.
    static HWND ReinstallToConfirm(SetupRun& run);
    // Walks the default installation; leaves the finish page open and returns it.
    HWND WalkToFinish(SetupRun& run, const std::string& shotPrefix = "");
    // The default installation, with the editor it starts left running from
    // the installation folder; true when all went so.
    bool InstallWithEditorRunning();
    static void CloseEditors() { CloseEditorWindows(); }
    // Starts the registered removal through Wine's list of installed programs
    // and answers its questions; returns the success message's text.
    static std::string RemoveThroughInstalledPrograms(bool removeBackups = true);
};
