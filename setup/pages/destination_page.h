// Custom installation: the destination folder, typed or browsed for, and the
// two shortcut options. Next hands them to the application once the folder's
// drive is found and the uninstaller could later remove from it.
#pragma once
#include "common/install_folder_rule.h"
#include "setup/controls/hover_button.h"
#include "setup/res/resource.h"
#include "wizard_page.h"

class CDestinationPage : public CWizardPage {
public:
    CDestinationPage() : CWizardPage(IDD_DESTINATION) {}

    CHoverButton m_btnBack;
    CHoverButton m_btnBrowse;
    CHoverButton m_btnNext;
    CHoverButton m_btnCancel;
    int m_bDesktopShortcut = 1;
    int m_bStartMenuIcon = 1;
    CString m_strPath;
    HICON m_hIcon = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(int id, int notifyCode) override;
    void OnMove(int x, int y) override;

private:
    void OnBrowse();
    void ShowPathError();
};

// TRUE when the typed folder names an existing drive and is fit to install into.
bool IsDestinationAccepted(const CString& typedPath, const SystemFolders& system);

// TRUE when a folder chosen in the browser (as BrowsedInstallDir makes it) is fit to install into.
bool IsBrowsedFolderAccepted(const CString& folder, const SystemFolders& system);
