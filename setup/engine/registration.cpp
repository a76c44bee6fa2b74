#include <cstdio>

#include "common/product_catalogue.h"
#include "common/registry.h"
#include "copy_rules.h"
#include "engine_support.h"
#include "install_engine.h"
#include "path_rules.h"
#include "setup/debug_log.h"

namespace {
// What the installed files take on disk, for the system's list of programs.
uint32_t InstalledKibibytes(const CString& folder, const std::vector<CString>& copyList, int count) {
    uint64_t bytes = 0;
    for (int i = 0; i < count && i < static_cast<int>(copyList.size()); ++i) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (::GetFileAttributesExA(PathInFolder(folder, InstalledName(copyList[static_cast<size_t>(i)])),
                                   GetFileExInfoStandard, &data))
            bytes += (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return KibibytesFor(bytes);
}

CString Decimal(uint32_t value) {
    CString text;
    text.Format("%u", static_cast<unsigned>(value));
    return text;
}
}  // namespace

// Every value is noted in the install record before it is written.
void CInstallEngine::SetValue(HKEY root, const char* key, const char* name, const char* value, DWORD type) {
    if (NotedBeforeChange(m_recorder && m_recorder->NoteValue(root, key, name)))
        RegSetString(root, key, name, value, type);
}

void CInstallEngine::SetUntracedValue(HKEY root, const char* key, const char* name, const char* value, DWORD type) {
    if (NotedBeforeChange(m_recorder && m_recorder->NoteValue(root, key, name)))
        RegSetUntraced(root, key, name, value, type);
}

void CInstallEngine::WriteReg() {
    LogText("start WriteReg()\r\n");
    HKEY root = m_state.m_hRootKey;
    SetValue(root, kProductKey, kSetupPathValue, m_state.m_strInstallDir, REG_SZ);

    // The media editor beside the running setup; the media check has named that folder.
    CString mediaEditor =
        m_state.m_strSourceDir.IsEmpty() ? MediaEditorBesideProgram() : WhereMediaFileIs(kEditorMediaName);
    CString version;
    GetFileVersion(version, mediaEditor);
    SetValue(root, kProductKey, kVersionValue, version, REG_SZ);
    CString count;
    count.Format("%d", m_state.m_nCopyCount);
    SetValue(root, kProductKey, kCopiedFileCountValue, count, REG_DWORD);

    LogText("add to add/del program\r\n");
    // The entry lives under the root the installation is for: a user who may not
    // write the machine's list still finds the editor in the list of their programs.
    CString uninstaller = m_state.m_strInstallDir + kUninstallerFileName;
    // Quoted, so that a folder with blanks cannot make the system start a shorter path.
    SetValue(root, kUninstallKey, "UninstallString", "\"" + uninstaller + "\"", REG_SZ);
    SetValue(root, kUninstallKey, "QuietUninstallString", "\"" + uninstaller + "\" /S", REG_SZ);
    SetValue(root, kUninstallKey, "DisplayName", kProductName, REG_SZ);
    SetValue(root, kUninstallKey, "DisplayIcon", uninstaller, REG_SZ);
    SetValue(root, kUninstallKey, "UninstallPath", uninstaller, REG_SZ);
    SetValue(root, kUninstallKey, "DisplayVersion", version, REG_SZ);
    SetValue(root, kUninstallKey, "Publisher", kPublisherName, REG_SZ);
    SetValue(root, kUninstallKey, "InstallLocation", m_state.m_strInstallDir, REG_SZ);
    SetValue(root, kUninstallKey, "EstimatedSize",
             Decimal(InstalledKibibytes(m_state.m_strInstallDir, m_state.m_pCopyList, m_state.m_nCopyCount)),
             REG_DWORD);
    // What inventory tools and the system's list read beside the name and version.
    SYSTEMTIME today;
    ::GetLocalTime(&today);
    CString date;
    date.Format("%04u%02u%02u", static_cast<unsigned>(today.wYear), static_cast<unsigned>(today.wMonth),
                static_cast<unsigned>(today.wDay));
    SetUntracedValue(root, kUninstallKey, "InstallDate", date, REG_SZ);
    SetUntracedValue(root, kUninstallKey, "URLInfoAbout", PRODUCT_URL, REG_SZ);
    SetUntracedValue(root, kUninstallKey, "HelpLink", HELP_URL, REG_SZ);
    unsigned major = 0, minor = 0;
    if (std::sscanf(version.c_str(), "%u.%u", &major, &minor) == 2) {
        SetUntracedValue(root, kUninstallKey, "VersionMajor", Decimal(major), REG_DWORD);
        SetUntracedValue(root, kUninstallKey, "VersionMinor", Decimal(minor), REG_DWORD);
    }
    SetValue(root, kUninstallKey, "NoModify", "1", REG_DWORD);
    SetValue(root, kUninstallKey, "NoRepair", "1", REG_DWORD);
    LogText("exit WriteReg()\r\n");
}
