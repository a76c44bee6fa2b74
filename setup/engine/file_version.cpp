#include <vector>

#include "common/system_seam.h"
#include "copy_rules.h"
#include "engine_support.h"
#include "framework/function_cast.h"
#include "install_engine.h"
#include "setup/debug_log.h"

namespace {
using GetSizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using GetInfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

// The version library is bound when first needed, from the system folder only.
struct VersionFunctions {
    GetSizeFn getSize = FunctionCast<GetSizeFn>(g_system.bindSystemFunction("version.dll", "GetFileVersionInfoSizeA"));
    GetInfoFn getInfo = FunctionCast<GetInfoFn>(g_system.bindSystemFunction("version.dll", "GetFileVersionInfoA"));
    QueryFn query = FunctionCast<QueryFn>(g_system.bindSystemFunction("version.dll", "VerQueryValueA"));
    bool Bound() const { return getSize && getInfo && query; }
};
}  // namespace

BOOL CInstallEngine::GetFileVersion(CString& strVersion, CString strFile) {
    LogFormat("start GetFileVersion( %s);\r\n", strVersion.c_str());
    strVersion.Empty();
    VersionFunctions version;

    LogFormat("GetFileVersionInfoSize(%s, & dwHandle); \r\n", strFile.c_str());
    DWORD handle = 0;
    DWORD size = version.Bound() ? version.getSize(strFile, &handle) : 0;
    LogFormat("GetFileVersionInfoSize's return value: dwHandle = %d\r\n", static_cast<int>(handle));
    if (size != 0) {
        std::vector<char> block(size);
        LogFormat("GetFileVersionInfo(%s, %d, %d, 0x%x)\r\n", strFile.c_str(), static_cast<int>(handle),
                  static_cast<int>(size), TraceAddress(block.data()));
        if (version.getInfo(strFile, handle, size, block.data())) {
            LogFormat("VerQueryValue(0x%x, \\, &pTransTable, &nQuerySize)\r\n", TraceAddress(block.data()));
            void* fixed = nullptr;
            UINT length = 0;
            if (version.query(block.data(), "\\", &fixed, &length)) {
                LogFormat("VerQueryValue's return value: pTransTable = 0x%x, nQuerySize = %d\r\n", TraceAddress(fixed),
                          static_cast<int>(length));
                // A block too short to hold the fixed information is no version at all.
                if (fixed && length >= sizeof(VS_FIXEDFILEINFO)) {
                    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
                    strVersion += VersionText(info->dwFileVersionMS, info->dwFileVersionLS);
                    LogText("exit GetFileVersion()\r\n");
                    return TRUE;
                }
            }
        }
    }
    LogText("exit GetFileVersion()\r\n");
    return FALSE;
}
