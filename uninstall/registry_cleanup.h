// Deletion of whole registry trees. On the Windows 95 family RegDeleteKey takes
// a key with everything below it; on the NT family only a key without
// sub-keys, so the tree is walked depth first and removed bottom up.
#pragma once
#include <windows.h>

// Deletes one key with all its sub-keys and values.
void DeleteRegTree(HKEY hRoot, const char* lpszKey);

// Deletes every sub-key below the open key hKey, whose path below hRoot is
// lpszPath. FALSE when a sub-key could not be deleted; the walk stops there.
BOOL DeleteSubKeys(HKEY hRoot, HKEY hKey, const char* lpszPath);

// Deletes the first nValues values of the key lpszPath below hRoot, reading all
// their names before deleting any; stops at the first failure.
void DeleteKeyValues(HKEY hRoot, const char* lpszPath, int nValues);
