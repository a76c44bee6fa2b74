// Reading and opening folders' permissions in tests (Wine keeps what file
// modes can say: owner, SYSTEM, everyone).
#pragma once
#include <windows.h>

#include <map>
#include <string>

// What the folder's list allows, by SID text.
std::map<std::string, ACCESS_MASK> AllowedRights(const std::string& folder);

// Replaces the folder's list with one that lets everyone change it, as a drive root passes on.
bool OpenToEveryone(const std::string& folder);

inline constexpr ACCESS_MASK kChangeRights =
    FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER | DELETE;
