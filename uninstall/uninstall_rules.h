// The uninstaller's rules, in plain C++: the names it deletes, how it tells its
// two runs apart, how it reads and checks the installation folder, how it walks
// up the folders, and the command that deletes its own copy.
#pragma once
#include <vector>

#include "common/install_folder_rule.h"
#include "common/product_catalogue.h"
#include "framework/afx_string.h"

inline constexpr const auto& kInstalledFileNames = kUninstallerRemovalList;
inline constexpr int kInstalledFileCount = static_cast<int>(sizeof kInstalledFileNames / sizeof *kInstalledFileNames);
inline constexpr int kFileListRoom = 100;

// The installed uninstaller (kUninstallerFileName) is removed after everything
// else, together with the uninstall entry, so that a removal cut short can
// still be run again.
inline constexpr int kUninstallerAttempts = 20;

// Messages.
inline constexpr char kConfirmText[] = "Are you sure uninstall Brellic Pagewright?";
inline constexpr char kConfirmCaption[] = "Uninstall Brellic Pagewright";
inline constexpr char kSuccessText[] = "You have successfully removed Brellic Pagewright.";
inline constexpr char kBackupQuestion[] = "Would you like to uninstall the backup version of Brellic Pagewright?";
inline constexpr char kInUseText[] = "Brellic Pagewright is being used, please exit and retry.";

// The removal run's folder under the temporary folder is this prefix followed
// by a fresh random part of kOwnTempFolderDigits hexadecimal digits; the copy's
// name in it.
inline constexpr char kOwnTempFolderPrefix[] = "Brellic Pagewright-";
inline constexpr int kOwnTempFolderDigits = 16;
inline constexpr char kCopyFileName[] = "Uninstall.exe";

// Backups that setup leaves are "Scrivo(" + version + ").exe"; both parts are
// looked for anywhere in the name, case-sensitively.
bool IsBackupName(const CString& name);

// Upper case of the single-byte letters; the byte after a lead byte is part of
// that character and stays as it is.
CString UpperCaseMultibyte(const CString& text, bool (*isLeadByte)(unsigned char));

// The mode test: the program's folder is "Brellic Pagewright-<hex digits>\"
// right under the temporary folder (given with or without its trailing
// backslash), in any letter case.
bool IsOwnTempFolder(const CString& programFolder, const CString& tempPath, bool (*isLeadByte)(unsigned char));

// "<folder>\Uninstall.exe", whether or not the folder ends with a backslash.
CString CopyPathIn(const CString& folder);

// The removal run's argument: trailing blanks trimmed, then one pair of
// enclosing quotation marks removed.
CString InstallFolderArgument(const CString& commandTail);

// "SetupPath" names the installation folder itself; the folder with its
// trailing backslash, empty for an empty value.
CString InstallFolderFromSetupPath(const CString& setupPath);

// The uninstaller's caption: "Uninstall" for the installed "uninstall.exe" as
// for its copy "Uninstall.exe"; any other file keeps its own name.
CString UninstallerTitle(const CString& fileTitle);

// The message shown for a refused folder; nothing has been removed then.
CString FolderProblemMessage(FolderProblem problem, const CString& folder);

// Files that exist but could not be deleted, named one to a line (the first
// few, then how many more); the product stays installed and listed.
CString KeptFilesMessage(const std::vector<CString>& paths);
inline constexpr int kKeptFilesNamed = 10;

// The parent folder with its trailing backslash; the folder itself when it has
// no separator before its last character.
CString ParentFolder(const CString& folder);

// The command that deletes the uninstaller's own copy once the uninstaller has
// ended: the deletion is tried at once and retried after one-second waits while
// the file is still there, as often as fits a command line. With folders
// (deepest first), they are removed after each deletion if nothing else is left
// in them, and the retries go on while the first is there. Empty when a path
// holds a character the interpreter would read as syntax.
CString SelfDeleteCommandLine(const CString& interpreter,
                              const CString& target,
                              const CString& pingProgram,
                              const std::vector<CString>& folders = {});
inline constexpr int kSelfDeleteAttempts = 10;
