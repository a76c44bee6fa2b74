#include <cstdio>

#include "common/product_catalogue.h"
#include "common/text_rules.h"
#include "debug_log.h"
#include "setup_app.h"

namespace {
bool CanOpenForReading(const CString& path, const char* mode) {
    FILE* file = std::fopen(path, mode);
    if (!file)
        return false;
    std::fclose(file);
    return true;
}
}  // namespace

BOOL CSetupApp::IsExitfile() {
    LogText("start IsExitfile()\r\n");
    m_strSourceDir = BeforeLastBackslash(GetModulePath());
    if (!CanOpenForReading(m_strSourceDir + "\\" + kEditorMediaName, "r")) {
        if (IsUnattended())
            FailUnattended(CString("the media lack ") + kEditorMediaName + " beside " + GetModulePath());
        AfxMessageBox(
            "Sorry Pagewright can not be installed right now. We \ncould not find necessary installation file. If "
            "you \nhave downloaded the ZIP package from Internet, \nplease unzip the whole package into a temporary "
            "\nfolder, then run Setup.exe from there.",
            MB_OK | MB_TOPMOST | MB_SETFOREGROUND);
        InterruptAndExit();
    }
    CString missing;
    if (!CanOpenForReading(m_strSourceDir + "\\" + kUninstallerMediaName, "rb"))
        missing = kUninstallerFileName;
    if (!missing.IsEmpty()) {
        missing += " is not found.";
        if (IsUnattended())
            FailUnattended("the media are incomplete: " + missing);
        AfxMessageBox(missing, MB_OK | MB_TOPMOST | MB_SETFOREGROUND);
    }
    LogText("exit IsExitfile()\r\n");
    return TRUE;
}
