// Removes the product's Start-menu group links, the group folder when it is then
// empty, and the desktop link. Setup also removes the legacy "Pagewright.lnk"
// that old versions made; the uninstaller does not look for it.
#pragma once

#include "framework/afx_string.h"

// "<folder>\<name>.lnk"
CString LinkPath(const CString& folder, const char* name);

enum class LegacyLink { Remove, Keep };

// Told of each link and of the group folder just before they go; setup keeps
// them in its install record so that a rollback can bring them back. False:
// it could not, and the link or folder stays.
class ShortcutRemovalWatcher {
public:
    virtual ~ShortcutRemovalWatcher() = default;
    virtual bool BeforeLinkRemoved(const CString& link) = 0;
    virtual bool BeforeGroupRemoved(const CString& group) = 0;
};

void RemoveProductShortcuts(LegacyLink legacy, ShortcutRemovalWatcher* watcher = nullptr);

// The file a shell link points at; empty when it cannot be read as one.
CString LinkTarget(const CString& link);
