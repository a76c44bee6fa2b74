// Whether an existing folder on the way to an all-users installation can be
// trusted: a standard user must neither own it nor be able to change, rename or
// replace it, and it must not lead elsewhere. Plain C++; the facts come from
// the folder's security descriptor.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct AceFacts {
    std::string sid;  // "S-1-5-..."
    uint32_t mask = 0;
    bool allow = true;
    bool inheritOnly = false;  // applies to what is made inside, not to the folder
};

struct FolderFacts {
    bool reparsePoint = false;
    std::string owner;
    bool nullDacl = false;  // no list at all: everyone may do anything
    std::vector<AceFacts> aces;
};

enum class FolderTrust { Trusted, Link, ForeignOwner, OthersMayChange, KeepsNoPermissions };

// Administrators, LocalSystem, TrustedInstaller, or runningUser.
bool IsTrustedOwner(const std::string& sid, const std::string& runningUser);

// runningUser: the SID of the administrator the run belongs to, whose own
// folders are as good as the Administrators'.
FolderTrust JudgeFolder(const FolderFacts& facts, const std::string& runningUser);
