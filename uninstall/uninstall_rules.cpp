#include "uninstall_rules.h"

#include "common/text_rules.h"

namespace {
char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
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

bool IsOwnTempFolder(const CString& programFolder, const CString& tempPath, bool (*isLeadByte)(unsigned char)) {
    CString program = UpperCaseMultibyte(programFolder, isLeadByte);
    CString prefix = UpperCaseMultibyte(WithTrailingBackslash(tempPath) + kOwnTempFolderPrefix, isLeadByte);
    if (program.GetLength() != prefix.GetLength() + kOwnTempFolderDigits + 1 ||
        program.Left(prefix.GetLength()) != prefix || program[program.GetLength() - 1] != '\\')
        return false;
    for (int i = prefix.GetLength(); i < program.GetLength() - 1; ++i) {
        char c = program[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
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

CString KeptFilesMessage(const std::vector<CString>& paths) {
    CString message =
        "Brellic Pagewright could not be removed completely. These files are in use or may not be "
        "deleted:\n\n";
    int named = 0;
    for (const CString& path : paths) {
        if (named == kKeptFilesNamed)
            break;
        message += path + "\n";
        ++named;
    }
    if (static_cast<int>(paths.size()) > named) {
        CString more;
        more.Format("and %d more\n", static_cast<int>(paths.size()) - named);
        message += more;
    }
    message +=
        "\nPlease close the programs that use them and run Uninstall again. Brellic Pagewright stays "
        "installed until then.";
    return message;
}

CString ParentFolder(const CString& folder) {
    int separator = ParentSeparatorIndex(folder);
    return separator < 0 ? folder : folder.Left(separator + 1);
}

CString SelfDeleteCommandLine(const CString& interpreter,
                              const CString& target,
                              const CString& pingProgram,
                              const std::vector<CString>& folders) {
    std::vector<const CString*> paths = {&interpreter, &target, &pingProgram};
    for (const CString& folder : folders)
        paths.push_back(&folder);
    for (const CString* path : paths) {
        if (path->IsEmpty())
            return CString();
        for (int i = 0; i < path->GetLength(); ++i)
            if (static_cast<unsigned char>((*path)[i]) < 0x20 || (*path)[i] == '"' || (*path)[i] == '%')
                return CString();
    }
    // The interpreter's own limit on a command line.
    const int kLimit = 8191;
    CString quoted = "\"" + target + "\"";
    // Without /s: a folder goes only once it is empty, never with anything in
    // it; it is tried right after each deletion, so that it goes as soon as it can.
    CString step = " del " + quoted + " >nul 2>&1";
    for (const CString& folder : folders)
        step += " & rd \"" + folder + "\" >nul 2>&1";
    CString waitFor = folders.empty() ? quoted : "\"" + folders.front() + "\"";
    CString command = "\"" + interpreter + "\" /d /v:off /c" + step;
    CString retry = " & if exist " + waitFor + " \"" + pingProgram + "\" -n 2 127.0.0.1 >nul &" + step;
    if (command.GetLength() > kLimit)
        return CString();
    for (int attempt = 1; attempt < kSelfDeleteAttempts && command.GetLength() + retry.GetLength() <= kLimit; ++attempt)
        command += retry;
    return command;
}
