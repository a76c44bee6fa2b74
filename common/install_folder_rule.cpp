#include "install_folder_rule.h"

#include <cstring>

#include "common/text_rules.h"

namespace {
char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Compares the first n bytes, ASCII letters without regard to case.
bool StartsWithNoCase(const CString& text, const CString& prefix) {
    if (prefix.GetLength() > text.GetLength())
        return false;
    for (int i = 0; i < prefix.GetLength(); ++i)
        if (AsciiUpper(text[i]) != AsciiUpper(prefix[i]))
            return false;
    return true;
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// One path component: not empty, not "." or "..", and not ending in a dot or
// blank (the system drops those, so the name would mean another folder).
bool IsPlainComponent(const CString& name) {
    if (name.IsEmpty() || name == "." || name == "..")
        return false;
    char last = name[name.GetLength() - 1];
    return last != '.' && last != ' ';
}

// Index just past the root ("X:\" or "\\server\share\"), or -1 with the problem.
int RootLength(const CString& folder, FolderProblem& problem) {
    if (folder.GetLength() >= 3 && IsLetter(folder[0]) && folder[1] == ':' && folder[2] == '\\')
        return 3;
    if (folder.Left(2) != "\\\\") {
        problem = FolderProblem::NotAbsolute;
        return -1;
    }
    int serverEnd = folder.Find('\\', 2);
    int shareEnd = serverEnd < 0 ? -1 : folder.Find('\\', serverEnd + 1);
    CString server = serverEnd < 0 ? CString() : folder.Mid(2, serverEnd - 2);
    if (shareEnd < 0 || shareEnd == serverEnd + 1 || server.IsEmpty()) {
        problem = FolderProblem::NotAbsolute;
        return -1;
    }
    // "\\?\" and "\\.\" reach devices and skip the system's own path checks;
    // a server or share of dots would be read as a step up by some callers.
    CString share = folder.Mid(serverEnd + 1, shareEnd - serverEnd - 1);
    if (server == "?" || server == "." || server == ".." || share == "." || share == "..") {
        problem = FolderProblem::NotPlain;
        return -1;
    }
    return shareEnd + 1;
}
}  // namespace

FolderProblem CheckInstallFolderText(const CString& folder) {
    if (folder.IsEmpty())
        return FolderProblem::Empty;
    CString text = WithTrailingBackslash(folder);
    if (text.GetLength() > 259)
        return FolderProblem::TooLong;
    for (int i = 0; i < text.GetLength(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || std::strchr("\"<>|*?/", c))
            return FolderProblem::NotPlain;
    }
    FolderProblem problem = FolderProblem::None;
    int root = RootLength(text, problem);
    if (root < 0)
        return problem;
    if (text.Find(':', root) >= 0 || (root > 3 && text.Find(':') >= 0))
        return FolderProblem::NotPlain;  // a stream name, or a drive in the middle
    if (root == text.GetLength())
        return FolderProblem::DriveRoot;
    for (int start = root; start < text.GetLength();) {
        int end = text.Find('\\', start);
        if (!IsPlainComponent(text.Mid(start, end - start)))
            return FolderProblem::NotPlain;
        start = end + 1;
    }
    return FolderProblem::None;
}

bool IsSameOrAbove(const CString& folder, const CString& other) {
    return StartsWithNoCase(other, folder);
}

bool IsSameOrBelow(const CString& folder, const CString& other) {
    return StartsWithNoCase(folder, other);
}

FolderProblem CheckAgainstSystemFolders(const CString& folder,
                                        const std::vector<CString>& protectedFolders,
                                        const std::vector<CString>& forbiddenTrees) {
    for (const CString& p : protectedFolders)
        if (!p.IsEmpty() && IsSameOrAbove(folder, p))
            return FolderProblem::SystemFolder;
    for (const CString& tree : forbiddenTrees)
        if (!tree.IsEmpty() && IsSameOrBelow(folder, tree))
            return FolderProblem::SystemFolder;
    return FolderProblem::None;
}

FolderProblem InstallFolderProblem(const CString& folder, const SystemFolders& system) {
    FolderProblem problem = CheckInstallFolderText(folder);
    if (problem != FolderProblem::None)
        return problem;
    return CheckAgainstSystemFolders(WithTrailingBackslash(folder), system.protectedFolders, system.forbiddenTrees);
}
