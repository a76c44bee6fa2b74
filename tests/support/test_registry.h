// Registry helpers for tests: raw reads and writes, tree removal, and a guard
// that removes the product's keys before and after a test.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

void RegDeleteTreeAll(HKEY root, const char* path);
bool RegKeyExists(HKEY root, const char* path);
bool RegWriteRaw(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size);
// Type and bytes of a value; false when absent.
bool RegReadRaw(HKEY root, const char* path, const char* name, DWORD* type, std::vector<unsigned char>* data);
std::string RegReadText(HKEY root, const char* path, const char* name);

// Removes the product key and the uninstall entry under both roots, and a
// scratch key "Software\BrellicTests", on construction and destruction.
class ProductKeysGuard {
public:
    ProductKeysGuard();
    ~ProductKeysGuard();
    static void Clean();
};

inline constexpr char kTestKey[] = "Software\\BrellicTests";
