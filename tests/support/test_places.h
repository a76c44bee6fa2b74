// Where the system and the product put things, as the tests look for them.
#pragma once
#include <string>
#include <vector>

// The system's folders, with trailing backslashes.
std::string WindowsFolderPath();
std::string SystemFolderPath();
std::string TempFolderPath();
std::string ShellFolderPath(int csidl);

// The product's group of links in the Programs menu, and its desktop link.
std::string GroupFolder();
std::string DesktopLink();

// The removal runs' folders "<temp>\Brellic Pagewright-<hex>" there are now
// (temp without its trailing backslash; empty: the temporary folder).
std::vector<std::string> OwnTempFolders();
// True once no removal run's folder is left there.
bool WaitOwnTempFoldersGone(int timeoutMs = 15000);
bool WaitOwnTempFoldersGone(const std::wstring& tempFolder, int timeoutMs = 15000);
