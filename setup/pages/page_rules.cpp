#include "page_rules.h"

#include <cstring>

#include "common/product_catalogue.h"
#include "common/text_rules.h"

namespace {
const char kProductFolder[] = "Pagewright\\";
// Four 16-bit numbers, the widest version text a backup name can carry.
const char kWidestVersion[] = "65535.65535.65535.65535";
const int kMaxPathCharacters = 259;

bool IsDriveLetter(char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

bool IsSeparator(char ch) {
    return ch == '\\' || ch == '/';
}

// Characters no folder name may hold; the engine would fail to create it and say nothing.
bool HasInvalidCharacter(const CString& folderPart) {
    for (int i = 0; i < folderPart.GetLength(); ++i) {
        unsigned char ch = static_cast<unsigned char>(folderPart[i]);
        if (ch < 32 || std::strchr("<>:\"|?*", ch))
            return true;
    }
    return false;
}
}  // namespace

CString ConfirmationSummary(const CString& installDir, int desktopShortcut, int startMenuIcon) {
    CString summary = "Destination location: \r\n   ";
    summary += installDir;
    summary += "\r\n\r\nDesktop Settings: \r\n";
    if (desktopShortcut)
        summary += "   Add a desktop shortcut\r\n";
    if (startMenuIcon)
        summary += "   Add an icon to the Start Menu \r\n";
    return summary;
}

CString BrowsedInstallDir(const CString& chosenPath) {
    CString folder = WithTrailingBackslash(chosenPath);
    int n = static_cast<int>(std::strlen(kProductFolder));
    if (folder.GetLength() < n || folder.Right(n).CompareNoCase(kProductFolder) != 0)
        folder += kProductFolder;
    return folder;
}

int LongestInstalledNameLength() {
    int longest =
        static_cast<int>(std::strlen(kBackupPrefix) + std::strlen(kWidestVersion) + std::strlen(kBackupSuffix));
    for (const ProductFile& file : kProductFiles)
        if (static_cast<int>(std::strlen(file.installedName)) > longest)
            longest = static_cast<int>(std::strlen(file.installedName));
    return longest;
}

bool FolderFitsInstalledFiles(const CString& folder) {
    return WithTrailingBackslash(folder).GetLength() + LongestInstalledNameLength() <= kMaxPathCharacters;
}

CString DestinationProbePattern(const CString& typedPath) {
    if (typedPath.GetLength() < 2 || typedPath[1] != ':' || !IsDriveLetter(typedPath[0]))
        return CString();
    // "C:folder" names a folder relative to whatever that drive's current folder
    // happens to be; the uninstaller would later look for it somewhere else.
    if (typedPath.GetLength() > 2 && !IsSeparator(typedPath[2]))
        return CString();
    if (HasInvalidCharacter(typedPath.Mid(2)) || !FolderFitsInstalledFiles(typedPath))
        return CString();
    CString pattern;
    pattern += typedPath[0];
    pattern += ":\\*.*";
    return pattern;
}

bool RunOptionHidden(const CString& commandTail) {
    return TailEndsWith(commandTail, "notruneditor");
}
