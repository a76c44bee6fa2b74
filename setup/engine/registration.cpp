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

void CInstallEngine::WriteReg() {
    LogText("start WriteReg()\r\n");
    RegSetString(m_state.m_hRootKey, kProductKey, kSetupPathValue, m_state.m_strInstallDir, REG_SZ);

    // The media editor beside the running setup; the media check has named that folder.
    CString mediaEditor = m_state.m_strSourceDir.IsEmpty() ? MediaEditorBesideProgram()
                                                           : m_state.m_strSourceDir + "\\" + kEditorMediaName;
    CString version;
    GetFileVersion(version, mediaEditor);
    RegSetString(m_state.m_hRootKey, kProductKey, kVersionValue, version, REG_SZ);
    CString count;
    count.Format("%d", m_state.m_nCopyCount);
    RegSetString(m_state.m_hRootKey, kProductKey, kCopiedFileCountValue, count, REG_DWORD);

    LogText("add to add/del program\r\n");
    CString uninstaller = m_state.m_strInstallDir + kUninstallerFileName;
    // Quoted, so that a folder with blanks cannot make the system start a shorter path.
    RegSetString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", "\"" + uninstaller + "\"", REG_SZ);
    RegSetString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", kProductName, REG_SZ);
    RegSetString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon", uninstaller, REG_SZ);
    RegSetString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallPath", uninstaller, REG_SZ);
    RegSetString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion", version, REG_SZ);
    RegSetString(HKEY_LOCAL_MACHINE, kUninstallKey, "Publisher", kPublisherName, REG_SZ);
    RegSetString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation", m_state.m_strInstallDir, REG_SZ);
    RegSetString(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize",
                 Decimal(InstalledKibibytes(m_state.m_strInstallDir, m_state.m_pCopyList, m_state.m_nCopyCount)),
                 REG_DWORD);
    RegSetString(HKEY_LOCAL_MACHINE, kUninstallKey, "NoModify", "1", REG_DWORD);
    RegSetString(HKEY_LOCAL_MACHINE, kUninstallKey, "NoRepair", "1", REG_DWORD);
    LogText("exit WriteReg()\r\n");
}
