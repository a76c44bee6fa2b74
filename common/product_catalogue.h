// What the product puts on a machine and under which names: the media files and
// their installed names, the backup of an older editor, the links and their
// group folder, the registry keys and values, the editor's window title. Setup
// writes these and the uninstaller must find them again, so both read them here.
#pragma once

#include "framework/afx_string.h"

inline constexpr char kProductName[] = "Brellic Pagewright";
inline constexpr char kPublisherName[] = "Brellic Software";
inline constexpr char kEditorWindowTitle[] = "Brellic Pagewright";
// Appended to the system's program folder for the suggested destination.
inline constexpr char kDefaultFolderUnderPrograms[] = "\\Brellic Software\\Pagewright\\";

inline constexpr char kEditorMediaName[] = "Scrivo.ex_";
inline constexpr char kEditorFileName[] = "Scrivo.exe";
inline constexpr char kUninstallerMediaName[] = "uninstall.ex_";
inline constexpr char kUninstallerFileName[] = "uninstall.exe";
inline constexpr char kReaderMediaName[] = "leafview.ex_";
inline constexpr char kReaderFileName[] = "leafview.exe";
inline constexpr char kManualFileName[] = "scrivoguide.pdf";

// Set by the download for the setup it starts: the private folder it unpacked
// the media into, for that setup alone to use up.
#define BRELLIC_UNPACKED_MEDIA_VARIABLE "BRELLIC_PAGEWRIGHT_UNPACKED_MEDIA"
inline constexpr char kUnpackedMediaVariable[] = BRELLIC_UNPACKED_MEDIA_VARIABLE;
inline constexpr wchar_t kUnpackedMediaVariableW[] = L"" BRELLIC_UNPACKED_MEDIA_VARIABLE;

// What puts a media file on the copy list.
enum class CopyCondition {
    Always,
    OldSystem,               // Windows 95 or NT 4 and older lack these libraries
    NoSystemImagingLibrary,  // the system has no GDI+ of its own
    ReaderOnMedia,           // only some media carry the reader
    ManualOnMedia,           // only some media carry the manual
};

struct ProductFile {
    const char* mediaName;
    const char* installedName;
    CopyCondition condition;
};

// Every file setup can install, in copying order.
inline constexpr ProductFile kProductFiles[] = {
    {kEditorMediaName, kEditorFileName, CopyCondition::Always},
    {"readme.txt", "readme.txt", CopyCondition::Always},
    {kUninstallerMediaName, kUninstallerFileName, CopyCondition::Always},
    {"BRLXCJK.BIN", "BRLXCJK.BIN", CopyCondition::Always},
    {"what's new.txt", "what's new.txt", CopyCondition::Always},
    {"Known Issues.txt", "Known Issues.txt", CopyCondition::Always},
    {"msimg32.dl_", "msimg32.dll", CopyCondition::OldSystem},
    {"mscms.dl_", "mscms.dll", CopyCondition::OldSystem},
    {"GDIPlus.dl_", "GDIPlus.dll", CopyCondition::NoSystemImagingLibrary},
    {kReaderMediaName, kReaderFileName, CopyCondition::ReaderOnMedia},
    {kManualFileName, kManualFileName, CopyCondition::ManualOnMedia},
};

// The uninstaller's fixed removal list, editor first: only a failure on that one
// means "in use", so nothing has been deleted when the removal stops. Besides
// what setup installs it names files only earlier versions installed
// ("preview3.dll", the two colour profiles, "brlxdll5.dll").
inline constexpr const char* kUninstallerRemovalList[] = {
    kEditorFileName, "preview3.dll",  "uninstall.exe", "DefCMYK.icc",    "DefRGB.icc",
    "BRLXCJK.BIN",   "readme.txt",    "brlxdll5.dll",  "GDIPlus.dll",    "msimg32.dll",
    "mscms.dll",     kReaderFileName, kManualFileName, "what's new.txt", "Known Issues.txt",
};

// An older editor kept on reinstalling: "Scrivo(" + its version + ").exe".
inline constexpr char kBackupPrefix[] = "Scrivo(";
inline constexpr char kBackupSuffix[] = ").exe";
CString BackupName(const CString& installedVersion);

// The Start-menu group and the links setup makes; a link with a media name is
// made only when that file is on the copy list.
inline constexpr char kGroupFolderName[] = "Brellic Pagewright";
inline constexpr char kLinkDescription[] = "shortcut Brellic Pagewright";
struct ProductLink {
    const char* name;  // file name without ".lnk"
    const char* target;
    const char* mediaName;
};
inline constexpr ProductLink kGroupLinks[] = {
    {"Brellic Pagewright", kEditorFileName, nullptr},
    {"Uninstall", kUninstallerFileName, nullptr},
    {"Brellic Leafview", kReaderFileName, kReaderMediaName},
    {"Brellic Pagewright User Manual", kManualFileName, kManualFileName},
};
inline constexpr ProductLink kDesktopLink = {"Brellic Pagewright", kEditorFileName, nullptr};
// Old versions made this group link; setup removes it, the uninstaller never looked for it.
inline constexpr char kLegacyGroupLinkName[] = "Pagewright";

inline constexpr char kProductKey[] = "Software\\Brellic Software\\Pagewright";
inline constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brellic Pagewright";
inline constexpr char kSetupPathValue[] = "SetupPath";
inline constexpr char kVersionValue[] = "version";
inline constexpr char kCopiedFileCountValue[] = "nCopyedFile";
