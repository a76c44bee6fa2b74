#include <cstdio>
#include <string>

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

// True when the download that started this setup unpacked these media for it.
// The mark leaves the environment here, so nothing setup starts inherits it.
bool UnpackedForThisSetup(const CString& folder) {
    DWORD size = ::GetEnvironmentVariableA(kUnpackedMediaVariable, nullptr, 0);
    if (size == 0)
        return false;
    std::string value(size, '\0');
    DWORD length = ::GetEnvironmentVariableA(kUnpackedMediaVariable, value.data(), size);
    ::SetEnvironmentVariableA(kUnpackedMediaVariable, nullptr);
    return length > 0 && length < size && folder.CompareNoCase(value.substr(0, length).c_str()) == 0;
}
}  // namespace

BOOL CSetupApp::IsExitfile() {
    LogText("start IsExitfile()\r\n");
    m_strSourceDir = BeforeLastBackslash(GetModulePath());
    m_bMediaMovable = UnpackedForThisSetup(m_strSourceDir);
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
