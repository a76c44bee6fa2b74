// Names that setup writes and the uninstaller must find again.
#pragma once

inline constexpr char kProductName[] = "Brellic Pagewright";
inline constexpr char kGroupFolderName[] = "Brellic Pagewright";
inline constexpr char kProductKey[] = "Software\\Brellic Software\\Pagewright";
inline constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brellic Pagewright";
inline constexpr char kSetupPathValue[] = "SetupPath";
inline constexpr char kEditorWindowTitle[] = "Brellic Pagewright";
inline constexpr char kBackupPrefix[] = "Scrivo(";
inline constexpr char kBackupSuffix[] = ").exe";
