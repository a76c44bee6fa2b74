// Rules of the wizard pages, apart from their windows: the confirmation
// summary, the destination folder's checks, the browsed folder's naming and
// the finish page's command-line tail.
#pragma once
#include "framework/afx_string.h"

// The confirmation page's read-only summary of the folder and the shortcut options.
CString ConfirmationSummary(const CString& installDir, int desktopShortcut, int startMenuIcon);

// A folder chosen in the browser, made the destination: a trailing backslash,
// then the product's folder "Pagewright\" unless it already ends so (any case).
CString BrowsedInstallDir(const CString& chosenPath);

// The text part of the destination check on Next. Returns the search pattern
// ("D:\*.*") whose first match proves that the drive exists, or the empty text
// when the typed folder is rejected outright.
CString DestinationProbePattern(const CString& typedPath);

// Longest name the installation writes into its folder (the backup of an editor
// with the longest possible version).
int LongestInstalledNameLength();

// TRUE when every installed file's full path in the folder stays within the
// 259 characters the install engine works with.
bool FolderFitsInstalledFiles(const CString& folder);

// The finish page hides its run option for a command-line tail ending in "notruneditor".
bool RunOptionHidden(const CString& commandTail);
