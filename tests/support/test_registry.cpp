#include "test_registry.h"

#include "common/product_catalogue.h"

void RegDeleteTreeAll(HKEY root, const char* path) {
    ::RegDeleteTreeA(root, path);
    ::RegDeleteKeyA(root, path);
}

bool RegKeyExists(HKEY root, const char* path) {
    HKEY key;
    if (::RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

bool RegWriteRaw(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    if (::RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool RegReadRaw(HKEY root, const char* path, const char* name, DWORD* type, std::vector<unsigned char>* data) {
    HKEY key;
    if (::RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG status = ::RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        data->assign(size, 0);
        status = ::RegQueryValueExA(key, name, nullptr, type, data->data(), &size);
    }
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::string RegReadText(HKEY root, const char* path, const char* name) {
    DWORD type = 0;
    std::vector<unsigned char> data;
    if (!RegReadRaw(root, path, name, &type, &data))
        return "<absent>";
    std::string text(data.begin(), data.end());
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

void ProductKeysGuard::Clean() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        RegDeleteTreeAll(root, kProductKey);
        RegDeleteTreeAll(root, kUninstallKey);
        RegDeleteTreeAll(root, kTestKey);
    }
}

ProductKeysGuard::ProductKeysGuard() {
    Clean();
}

ProductKeysGuard::~ProductKeysGuard() {
    Clean();
}
