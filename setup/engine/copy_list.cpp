#include "common/product_catalogue.h"
#include "common/system_seam.h"
#include "copy_rules.h"
#include "engine_support.h"
#include "framework/scoped_handles.h"
#include "install_engine.h"
#include "setup/debug_log.h"

void CInstallEngine::initCopyedFileList() {
    LogText("start initCopyedFileList()\r\n");
    CopyListFacts facts;

    LogText("GetVersionEx()\r\n");
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (g_system.getVersionEx(&version)) {
        facts.versionKnown = true;
        facts.platformId = version.dwPlatformId;
        facts.majorVersion = version.dwMajorVersion;
        facts.minorVersion = version.dwMinorVersion;
    }

    // Only the system folder's copy counts: a library of that name lying beside
    // setup or in the current folder says nothing about the system.
    LogText("load GDIPLUS.DLL\r\n");
    ScopedModule imaging(g_system.loadSystemLibrary("gdiplus.dll"));
    facts.imagingLibraryPresent = imaging.IsValid();

    facts.readerOnMedia = CanOpenForReading(m_state.m_strSourceDir + "\\" + kReaderMediaName);
    facts.manualOnMedia = CanOpenForReading(m_state.m_strSourceDir + "\\" + kManualFileName);

    m_state.m_pCopyList = BuildCopyList(facts);
    m_state.m_nCopyCount = static_cast<int>(m_state.m_pCopyList.size());
    LogText("exit initCopuFileList()\r\n");
}
