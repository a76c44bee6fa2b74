#include "uninstall_rules.h"

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
    // "\\?\" and "\\.\" reach devices and skip the system's own path checks.
    if (server == "?" || server == ".") {
        problem = FolderProblem::NotPlain;
        return -1;
    }
    return shareEnd + 1;
}
}  // namespace

bool IsBackupName(const CString& name) {
    return name.Find(kBackupPrefix) >= 0 && name.Find(kBackupSuffix) >= 0;
}

CString UpperCaseMultibyte(const CString& text, bool (*isLeadByte)(unsigned char)) {
    std::string out = text.str();
    for (size_t i = 0; i < out.size(); ++i) {
        if (isLeadByte && isLeadByte(static_cast<unsigned char>(out[i]))) {
            ++i;
            continue;
        }
        out[i] = AsciiUpper(out[i]);
    }
    return CString(out);
}

CString OwnTempFolder(const CString& tempPath) {
    return WithTrailingBackslash(tempPath) + kOwnTempFolderName + "\\";
}

bool IsOwnTempFolder(const CString& programFolder, const CString& tempPath, bool (*isLeadByte)(unsigned char)) {
    return UpperCaseMultibyte(programFolder, isLeadByte) == UpperCaseMultibyte(OwnTempFolder(tempPath), isLeadByte);
}

CString CopyPathIn(const CString& folder) {
    CString base = folder;
    if (base.GetLength() > 0 && base[base.GetLength() - 1] == '\\')
        base = base.Left(base.GetLength() - 1);
    return base + "\\" + kCopyFileName;
}

CString InstallFolderArgument(const CString& commandTail) {
    CString text = commandTail;
    text.TrimRight();
    if (text.GetLength() >= 2 && text[0] == '"' && text[text.GetLength() - 1] == '"')
        text = text.Mid(1, text.GetLength() - 2);
    return text;
}

CString InstallFolderFromSetupPath(const CString& setupPath) {
    return setupPath.IsEmpty() ? CString() : WithTrailingBackslash(setupPath);
}

CString UninstallerTitle(const CString& fileTitle) {
    return fileTitle.CompareNoCase("uninstall") == 0 ? CString("Uninstall") : fileTitle;
}

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

CString FolderProblemMessage(FolderProblem problem, const CString& folder) {
    if (problem == FolderProblem::Empty)
        return "The installation folder of Brellic Pagewright is not known. Please start uninstall.exe from the "
               "installation folder. Nothing has been removed.";
    const char* reason = "";
    switch (problem) {
        case FolderProblem::TooLong:
            reason = "its name is too long";
            break;
        case FolderProblem::NotAbsolute:
            reason = "it is not a complete path";
            break;
        case FolderProblem::NotPlain:
            reason = "its name is not a plain folder name";
            break;
        case FolderProblem::DriveRoot:
            reason = "it is the root of a drive";
            break;
        case FolderProblem::SystemFolder:
            reason = "it is a folder of the system or of the user";
            break;
        case FolderProblem::None:
        case FolderProblem::Empty:
            break;
    }
    CString message;
    message.Format("Brellic Pagewright cannot be removed from the folder \"%s\": %s. Nothing has been removed.",
                   folder.c_str(), reason);
    return message;
}

CString ParentFolder(const CString& folder) {
    int separator = ParentSeparatorIndex(folder);
    return separator < 0 ? folder : folder.Left(separator + 1);
}

CString SelfDeleteCommandLine(const CString& interpreter, const CString& target, const CString& pingProgram) {
    for (const CString* path : {&interpreter, &target, &pingProgram}) {
        if (path->IsEmpty())
            return CString();
        for (int i = 0; i < path->GetLength(); ++i)
            if (static_cast<unsigned char>((*path)[i]) < 0x20 || (*path)[i] == '"' || (*path)[i] == '%')
                return CString();
    }
    // The interpreter's own limit on a command line.
    const int kLimit = 8191;
    CString quoted = "\"" + target + "\"";
    CString command = "\"" + interpreter + "\" /d /v:off /c del " + quoted + " >nul 2>&1";
    CString retry =
        " & if exist " + quoted + " \"" + pingProgram + "\" -n 2 127.0.0.1 >nul & del " + quoted + " >nul 2>&1";
    if (command.GetLength() > kLimit)
        return CString();
    for (int attempt = 1; attempt < kSelfDeleteAttempts && command.GetLength() + retry.GetLength() <= kLimit; ++attempt)
        command += retry;
    return command;
}
