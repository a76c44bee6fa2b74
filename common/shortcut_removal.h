// Removes the product's Start-menu group links, the group folder when it is then
// empty, and the desktop link. Setup also removes the legacy "Pagewright.lnk"
// that old versions made; the uninstaller does not look for it.
#pragma once

#include "framework/afx_string.h"

// "<folder>\<name>.lnk"
CString LinkPath(const CString& folder, const char* name);

enum class LegacyLink { Remove, Keep };

void RemoveProductShortcuts(LegacyLink legacy);
