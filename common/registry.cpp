#include "registry.h"

#include <vector>

#include "framework/scoped_handles.h"
#include "text_rules.h"
#include "trace.h"

const char* RootNameForTrace(HKEY root) {
    return root == HKEY_CURRENT_USER ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

namespace {
// Opens (creating) the sub-key, or hands back the root itself for an empty sub-key.
HKEY OpenForAccess(HKEY root, const char* subKey, REGSAM access, ScopedRegKey& owned) {
    if (!subKey || !*subKey)
        return root;
    HKEY key = nullptr;
    ::RegCreateKeyExA(root, subKey, 0, nullptr, 0, access, nullptr, &key, nullptr);
    owned.Reset(key);
    return key;
}

// Reads the whole value, sized by what the system reports; retries if it grew meanwhile.
bool ReadValueData(HKEY key, const char* name, DWORD size, std::vector<char>& data) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        data.assign(static_cast<size_t>(size) + 2, '\0');  // room for a missing terminator
        DWORD got = size;
        LONG status = ::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &got);
        if (status == ERROR_SUCCESS) {
            data.resize(static_cast<size_t>(got) + 2, '\0');
            return true;
        }
        if (status != ERROR_MORE_DATA)
            return false;
        size = got;
    }
    return false;
}
}  // namespace

CString RegGetString(HKEY hRoot, const char* lpszSubKey, const char* lpszValueName, const char* lpszDefault) {
    TraceFormat("start RegGetString(%s, %s, %s, %s)\r\n", RootNameForTrace(hRoot), lpszSubKey, lpszValueName,
                lpszDefault);
    ScopedRegKey owned;
    HKEY key = OpenForAccess(hRoot, lpszSubKey, KEY_QUERY_VALUE, owned);
    if (!key) {
        TraceText("exit RegGetString()\r\n");
        return CString(lpszDefault);
    }
    DWORD type = 0;
    DWORD size = 0;
    LONG status = ::RegQueryValueExA(key, lpszValueName, nullptr, &type, nullptr, &size);
    TraceFormat("RegQueryValueEx's reutrn value: dwType = %d, dwSize = %d\r\n", static_cast<int>(type),
                static_cast<int>(size));
    if (status != ERROR_SUCCESS) {
        TraceText("exit RegGetString()\r\n");
        return CString(lpszDefault);
    }
    CString result(lpszDefault);
    std::vector<char> data;
    if ((type == REG_SZ || type == REG_EXPAND_SZ) && ReadValueData(key, lpszValueName, size, data)) {
        if (data[0] != '\0')
            result = CString(data.data());
    } else if (type == REG_DWORD && ReadValueData(key, lpszValueName, size, data) && data.size() >= 6) {
        int32_t value = 0;
        memcpy(&value, data.data(), sizeof value);
        result.Format("%d", static_cast<int>(value));
    }
    TraceText("exit RegGetString()\r\n");
    return result;
}

CString RegGetUntraced(HKEY hRoot, const char* lpszSubKey, const char* lpszValueName) {
    ScopedRegKey key;
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(hRoot, lpszSubKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return CString();
    key.Reset(opened);
    DWORD type = 0;
    DWORD size = 0;
    std::vector<char> data;
    if (::RegQueryValueExA(opened, lpszValueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ ||
        !ReadValueData(opened, lpszValueName, size, data))
        return CString();
    return CString(data.data());
}

void RegSetUntraced(HKEY hRoot,
                    const char* lpszSubKey,
                    const char* lpszValueName,
                    const char* lpszValue,
                    DWORD dwType) {
    ScopedRegKey owned;
    HKEY key = OpenForAccess(hRoot, lpszSubKey, KEY_SET_VALUE, owned);
    if (!key)
        return;
    if (dwType == REG_DWORD) {
        int32_t number = DecimalToInt32(lpszValue);
        ::RegSetValueExA(key, lpszValueName, 0, dwType, reinterpret_cast<const BYTE*>(&number), 4);
    } else {
        CString text(lpszValue);
        ::RegSetValueExA(key, lpszValueName, 0, dwType, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>(text.GetLength()) + 1);
    }
}

void RegSetString(HKEY hRoot, const char* lpszSubKey, const char* lpszValueName, const char* lpszValue, DWORD dwType) {
    TraceFormat("start RegSetString(%s, %s, %s, %s, %d)\r\n", RootNameForTrace(hRoot), lpszSubKey, lpszValueName,
                lpszValue, static_cast<int>(dwType));
    ScopedRegKey owned;
    HKEY key = OpenForAccess(hRoot, lpszSubKey, KEY_SET_VALUE, owned);
    if (!key) {
        TraceText("exit RegSetString()\r\n");
        return;
    }
    // The key handle is printed as a number, as the trace always has.
    int keyNumber = static_cast<int>(reinterpret_cast<intptr_t>(key));
    if (dwType == REG_DWORD || dwType == REG_DWORD_BIG_ENDIAN) {
        int32_t number = DecimalToInt32(lpszValue);
        TraceFormat("RegSetValueEx(%d, %s, 0, %d, %d, %d)\r\n", keyNumber, lpszValueName, static_cast<int>(dwType),
                    static_cast<int>(number), 4);
        ::RegSetValueExA(key, lpszValueName, 0, dwType, reinterpret_cast<const BYTE*>(&number), 4);
    } else {
        CString text(lpszValue);
        DWORD bytes = static_cast<DWORD>(text.GetLength()) + 1;
        TraceFormat("RegSetValueEx(%d, %s, 0, %d, %s, %d)\r\n", keyNumber, lpszValueName, static_cast<int>(dwType),
                    text.c_str(), static_cast<int>(bytes));
        ::RegSetValueExA(key, lpszValueName, 0, dwType, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    }
    TraceText("exit RegSetString;\r\n");
}
