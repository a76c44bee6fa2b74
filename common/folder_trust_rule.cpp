#include "common/folder_trust_rule.h"

bool IsTrustedOwner(const std::string& sid, const std::string& runningUser) {
    return sid == "S-1-5-32-544" || sid == "S-1-5-18" ||
           sid == "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464" ||
           (!runningUser.empty() && sid == runningUser);
}

namespace {

// Writing or adding inside, deleting or renaming, changing its list or owner.
constexpr uint32_t kChanges = 0x0002 /*FILE_ADD_FILE*/ | 0x0004 /*FILE_ADD_SUBDIRECTORY*/ |
                              0x0040 /*FILE_DELETE_CHILD*/ | 0x00010000 /*DELETE*/ | 0x00040000 /*WRITE_DAC*/ |
                              0x00080000 /*WRITE_OWNER*/ | 0x10000000 /*GENERIC_ALL*/ | 0x40000000 /*GENERIC_WRITE*/;
}  // namespace

FolderTrust JudgeFolder(const FolderFacts& facts, const std::string& runningUser) {
    if (facts.reparsePoint)
        return FolderTrust::Link;
    if (!IsTrustedOwner(facts.owner, runningUser))
        return FolderTrust::ForeignOwner;
    if (facts.nullDacl)
        return FolderTrust::OthersMayChange;
    for (const AceFacts& ace : facts.aces)
        if (ace.allow && !ace.inheritOnly && (ace.mask & kChanges) && !IsTrustedOwner(ace.sid, runningUser) &&
            ace.sid != "S-1-3-0" /* CREATOR OWNER: only ever passed on */)
            return FolderTrust::OthersMayChange;
    return FolderTrust::Trusted;
}
